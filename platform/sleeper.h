// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Blocks the calling thread; no event is handled meanwhile. Not the player's
// pause, which stops the game's clock and lets events in.
class Sleeper {
  public:
    virtual ~Sleeper() = default;
    virtual void sleep(int milliseconds) = 0;
};

class ThreadSleeper : public Sleeper {
  public:
    void sleep(int milliseconds) override;
};
