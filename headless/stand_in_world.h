// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/music_player.h"
#include "platform/pause.h"
#include "platform/random_source.h"
#include "play/form1.h"
#include "screens/screen_set.h"

#include <QString>

// Everything outside the game, stood in for: time that moves only when told,
// a pause that moves it, dialogs answered from a script, music that only
// notes what it was asked, random numbers from a list. Nothing waits, sounds
// or opens a window, so a game runs as fast as the core can play it.
struct StandInWorld {
    StandInWorld() = default;
    StandInWorld(const StandInWorld&) = delete;
    StandInWorld& operator=(const StandInWorld&) = delete;

    ManualClock clock;
    PausableClock gameClock{clock}; // what the game reads, unless told otherwise
    ManualPause pause{clock};
    ScriptedDialogs dialogs;
    RecordingMusicPlayer music;
    SequenceRandom random;

    // What the play screen talks to. It reads the time from `reads`, which
    // may stand between it and the game's clock (a recorder, a recording).
    Form1::Environment playEnvironment(Clock& reads, const QString& tuneDir = {});
    Form1::Environment playEnvironment(const QString& tuneDir = {}) {
        return playEnvironment(gameClock, tuneDir);
    }
    // What the four screens talk to, with these dialogs, settings and browser.
    ScreenSet::Platform screenPlatform(Dialogs& screenDialogs, SettingsStore& settings,
                                       Shell& shell);
};

// Views without windows that start as the layouts do: the score screen's
// point values in place, the menu showing only its first item.
ScreenSet::Views headlessViews();
