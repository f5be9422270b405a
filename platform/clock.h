// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Monotonic time in seconds. Play time is measured with it, so a game that
// crosses midnight or a change of the system time still ends at its limit.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

// The system's monotonic clock.
class SteadyClock : public Clock {
  public:
    double now() const override;
};

// The game's clock: its source's time, less every stretch it was held. A game
// paused on it never learns of the pause: neither its play time nor the clock
// readings its recording keeps count the time it stood still.
class PausableClock : public Clock {
  public:
    explicit PausableClock(const Clock& source) : m_source(source) {}
    double now() const override;
    void hold();
    void release();

  private:
    const Clock& m_source;
    double m_left = 0.0;   // seconds held so far
    double m_heldAt = 0.0; // the source's time when held
    bool m_held = false;
};
