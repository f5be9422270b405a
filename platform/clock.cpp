// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/clock.h"

#include <chrono>

double SteadyClock::now() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double PausableClock::now() const {
    return (m_held ? m_heldAt : m_source.now()) - m_left;
}

void PausableClock::hold() {
    if (!m_held) {
        m_heldAt = m_source.now();
        m_held = true;
    }
}

void PausableClock::release() {
    if (m_held) {
        m_left += m_source.now() - m_heldAt;
        m_held = false;
    }
}
