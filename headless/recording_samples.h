// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "play/recording.h"

#include <QByteArray>

// A whole recording of `game` changed to add up to `total`, a multiple of 50
// not far below it: its wall bounces (-300 each) and distance (50 each)
// counters made to match. The records' tests rank games by it.
inline QByteArray recordingWorth(Recording game, int32_t total) {
    constexpr size_t kWalls = 2;
    constexpr size_t kMoves = 3;
    int32_t missing = total - game.total;
    for (; missing < -1000; missing += 300) {
        ++game.counters[kWalls];
    }
    game.counters[kMoves] += missing / 50;
    game.total = totalOf(game.counters);
    return QByteArray::fromStdString(formatRecording(game));
}
