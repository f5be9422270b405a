// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/tally.h"

#include "base/numbers.h"

std::array<int32_t, kRows> scoreCounters(const GameState& game) {
    return {game.life,  game.HitGan, game.kabe, game.Moves, game.HitGan2,
            game.kabe2, game.Time,   game.spe,  game.GanGan};
}

Tally tally(const std::array<int32_t, kRows>& counters,
            const std::array<QString, kRows>& pointCaptions) {
    Tally result;
    for (int i = 0; i < kRows; ++i) {
        result.counts[i] = QString::number(counters[i]);
    }
    for (int i = 0; i < kRows; ++i) {
        const double product = result.counts[i].toDouble() * pointCaptions[i].toDouble();
        // A zero count with a negative point value gives -0; it shows as "0".
        result.subtotals[i] =
            product == 0.0 ? QStringLiteral("0") : QString::number(product, 'f', 0);
    }
    // The running sum lives in the total's text, which starts at "0".
    result.total = QStringLiteral("0");
    for (int i = 0; i < kRows; ++i) {
        const int32_t subtotal = cint(result.subtotals[i].toDouble());
        result.Score = cint(subtotal + result.total.toDouble());
        result.total = QString::number(result.Score);
    }
    return result;
}
