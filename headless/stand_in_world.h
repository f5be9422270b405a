// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "headless/stand_ins/stand_ins.h"
#include "play/form1.h"
#include "play/play_view.h"

#include <QString>

// Everything outside the game, stood in for: time that moves only when told,
// a sleep that moves it, dialogs answered from a script, music that only
// notes what it was asked, random numbers from a list. Nothing waits, sounds
// or opens a window, so a game runs as fast as the core can play it.
struct StandInWorld {
    StandInWorld() = default;
    StandInWorld(const StandInWorld&) = delete;
    StandInWorld& operator=(const StandInWorld&) = delete;

    ManualClock clock;
    PausableClock gameClock{clock}; // what the game reads, unless told otherwise
    ManualSleeper sleeper{clock};
    ScriptedDialogs dialogs;
    RecordingMusicPlayer music;
    SequenceRandom random;

    // What the play screen talks to. It reads the time from `reads`, which
    // may stand between it and the game's clock (a recorder, a recording).
    Form1::Environment playEnvironment(Clock& reads, const QString& tuneDir = {});
    Form1::Environment playEnvironment(const QString& tuneDir = {}) {
        return playEnvironment(gameClock, tuneDir);
    }
};

// The view of the simulator and the tests: it only remembers what it was told.
class HeadlessPlayView final : public PlayView, public HeadlessWindow {
  public:
    void setTimer1Enabled(bool enabled) override { timer1Enabled = enabled; }
    void setTimer2Enabled(bool enabled) override { timer2Enabled = enabled; }
    void setBannerVisible(bool visible) override { bannerVisible = visible; }
    void setPaused(bool pause) override { paused = pause; }

    bool timer1Enabled = false;
    bool timer2Enabled = true;
    bool bannerVisible = true;
    bool paused = false;
};
