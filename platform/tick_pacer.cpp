// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/tick_pacer.h"

#include <algorithm>
#include <cmath>

void TickPacer::start(double now) {
    m_start = now;
    m_index = 0;
}

int TickPacer::next(double now) {
    ++m_index;
    const auto due = static_cast<int64_t>(std::floor((now - m_start) / m_period)) + 1;
    if (due > m_index) {
        m_index = due;
    }
    const double wait = m_start + static_cast<double>(m_index) * m_period - now;
    return static_cast<int>(std::lround(std::max(0.0, wait)));
}
