// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/play_driver.h"

void PlayDriver::load(const std::function<void()>& open) {
    m_loadedAt = m_world.clock.time;
    m_ticks = 0;
    if (open) {
        open();
    } else {
        m_form.show();
    }
}

void PlayDriver::countdown() {
    for (int step = 1; step <= rules::kStartEvent; ++step) {
        if (m_form.phase() != Form1::Phase::Countdown) {
            return;
        }
        m_world.clock.time = m_loadedAt + step * rules::kCountdownPeriodMs / 1000.0;
        m_world.sleeper.until = m_loadedAt + rules::kPlayStartSeconds;
        m_form.Timer2_Timer();
    }
}

bool PlayDriver::tick(const std::function<void(int64_t n)>& due) {
    if (!playing()) {
        return false;
    }
    const int64_t n = m_ticks + 1;
    const double playStart = m_loadedAt + rules::kPlayStartSeconds;
    m_world.clock.time = playStart + static_cast<double>(n - 1) * m_period;
    if (due) {
        due(n);
        if (!playing()) {
            return false;
        }
    }
    m_world.clock.time = playStart + static_cast<double>(n) * m_period;
    m_form.Timer1_Timer();
    m_ticks = n;
    return true;
}

HeadlessGame::HeadlessGame(const QString& tuneDir, double period)
    : form(playEnvironment(tuneDir), [this](Form1&) { return view = new HeadlessPlayView; }),
      drive(form, *this, period) {
    form.showScoreScreen = [this] { ++scoreScreenShown; };
    form.unloaded = [this] { view = nullptr; };
}
