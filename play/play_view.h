// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/rules.h"
#include "base/screen.h"

// What the play screen needs of its window besides showing it: the two
// timers, the start banner and the pause. The Qt window and the headless view
// both provide it.
class PlayView : public virtual ScreenWindow {
  public:
    // The timers run at the rules' pace. Timer2 runs the countdown, every
    // kCountdownPeriodMs from the moment the window exists; Timer1 runs the
    // game tick, kTicksPerSecond times a second.
    virtual void setTimer1Enabled(bool enabled) = 0;
    virtual void setTimer2Enabled(bool enabled) = 0;
    virtual void setBannerVisible(bool visible) = 0;
    // While paused neither timer runs, whatever it is enabled for, and the
    // field shows that the game is paused, its own pixels untouched. On
    // resuming the enabled timers run on: the countdown with what was left of
    // its period, the tick from a fresh start one period later.
    virtual void setPaused(bool paused) = 0;

  protected:
    ~PlayView() = default;
};
