// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// Schedules ticks on a fixed grid of a monotonic clock (start + n * period), so
// the average rate is exact although a timer only takes whole milliseconds.
// A tick that is late does not make later ticks come faster: the ticks that
// fell due meanwhile are merged into one.
class TickPacer {
  public:
    explicit TickPacer(double periodMilliseconds) : m_period(periodMilliseconds) {}

    // Starts the grid at the given time (milliseconds).
    void start(double now);
    // After a tick ran: the wait in whole milliseconds until the next tick.
    int next(double now);

  private:
    double m_period;
    double m_start = 0.0;
    int64_t m_index = 0;
};
