// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/clock.h"

#include <QList>

#include <functional>

// Blocks the calling thread; no event is handled meanwhile.
class Pause {
  public:
    virtual ~Pause() = default;
    virtual void pause(int milliseconds) = 0;
};

class SleepPause : public Pause {
  public:
    void pause(int milliseconds) override;
};

// Moves a manual clock instead of sleeping. When `until` is set, the clock
// lands exactly there, so a simulated schedule is not disturbed by rounding.
class ManualPause : public Pause {
  public:
    explicit ManualPause(ManualClock& clock) : m_clock(clock) {}
    void pause(int milliseconds) override;
    double until = -1.0;
    QList<int> lengths; // each pause asked for, in milliseconds
    // Runs after each pause has moved the clock, as other events would.
    std::function<void()> meanwhile;

  private:
    ManualClock& m_clock;
};
