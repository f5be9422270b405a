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

// A clock that only moves when told to: the simulator's and the tests'.
class ManualClock : public Clock {
  public:
    double now() const override { return time; }
    double time = 0.0;
};
