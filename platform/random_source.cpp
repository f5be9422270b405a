// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/random_source.h"

#include <chrono>

void ClockSeededRandom::reseedFromClock() {
    m_engine.seed(static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

double ClockSeededRandom::next() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
}
