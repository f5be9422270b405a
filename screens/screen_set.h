// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/music_player.h"
#include "platform/random_source.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/sleeper.h"
#include "play/form1.h"
#include "screens/form2.h"
#include "screens/form3.h"
#include "screens/form4.h"
#include "screens/high_score_record.h"

#include <functional>

// The four screens, each one object for the whole run, wired to one another
// and to the world they talk to. The real program and the tests build the
// same set, with real or stand-in platform parts and windows or headless
// views.
class ScreenSet {
  public:
    struct Platform {
        Clock& clock;
        PausableClock& gameClock;
        Sleeper& sleeper;
        Dialogs& dialogs;
        MusicPlayer& music;
        RandomSource& random;
        SettingsStore& settings;
        Shell& shell;
        QString tuneDir; // the folder the tunes are in
    };

    // What each screen is shown in.
    struct Views {
        Form1::ViewFactory play;
        Form2::ViewFactory score;
        Form3::ViewFactory menu;
        Form4::ViewFactory highScore;
    };

    // endProgram runs once the title menu's quit item has unloaded every
    // screen, or if ever no screen is left loaded.
    ScreenSet(Platform platform, Views views, std::function<void()> endProgram);
    ~ScreenSet();

    // The program starts on the score screen, before any game.
    void start();

    Form1& form1() { return m_form1; }
    Form2& form2() { return m_form2; }
    Form3& form3() { return m_form3; }
    Form4& form4() { return m_form4; }
    HighScoreRecord& record() { return m_record; }

  private:
    void screenUnloaded();
    void end();

    HighScoreRecord m_record;
    Form1 m_form1;
    Form2 m_form2;
    Form3 m_form3;
    Form4 m_form4;
    std::function<void()> m_endProgram;
    bool m_ended = false;
};
