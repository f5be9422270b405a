// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "play/game_state.h"

#include <QString>

#include <array>
#include <cstdint>

// The score screen's arithmetic: nine counters times their point values,
// added into a total. It works on the texts the screen shows, as the screen
// does: counts and point values are read back from their captions.

inline constexpr int kRows = 9;

// The point values, rows 0 to 8: the captions of the score screen's layout
// (a test holds form2.ui to this table) and what the simulator tallies with.
inline const std::array<QString, kRows> kPointCaptions = {
    QStringLiteral("5000"), QStringLiteral("-300"),  QStringLiteral("-300"),
    QStringLiteral("50"),   QStringLiteral("500"),   QStringLiteral("500"),
    QStringLiteral("300"),  QStringLiteral("10000"), QStringLiteral("5000")};

// The counters in row order: life, HitGan, kabe, Moves, HitGan2, kabe2, Time,
// spe, GanGan.
std::array<int32_t, kRows> scoreCounters(const GameState& game);

struct Tally {
    std::array<QString, kRows> counts;
    std::array<QString, kRows> subtotals;
    QString total;
    int32_t Score = 0;
};

Tally tally(const std::array<int32_t, kRows>& counters,
            const std::array<QString, kRows>& pointCaptions);
