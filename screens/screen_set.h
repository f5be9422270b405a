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
#include "play/replay.h"
#include "screens/form2.h"
#include "screens/form3.h"
#include "screens/form4.h"
#include "screens/high_score_record.h"
#include "screens/records.h"
#include "screens/records_screen.h"

#include <array>
#include <functional>
#include <memory>

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
        QString webSite; // what the menu's Zerrendo opens
        // The games kept to be watched again; without them the high-score
        // screen leads nowhere else.
        const Records* records = nullptr;
    };

    // What each screen is shown in.
    struct Views {
        Form1::ViewFactory play;
        Form2::ViewFactory score;
        Form3::ViewFactory menu;
        Form4::ViewFactory highScore;
        RecordsScreen::ViewFactory records;
    };

    // endProgram runs once the title menu's quit item has unloaded every
    // screen, or if ever no screen is left loaded.
    ScreenSet(Platform platform, Views views, std::function<void()> endProgram);
    ~ScreenSet();

    // The program starts on the score screen, before any game, or on the
    // records screen.
    void start();
    void startOnRecords();

    // A game of the records played again on the play screen, then its score
    // screen, and back to the records; nothing of it is kept, and the next
    // game plays on from what the player's last game left behind.
    void watch(const QString& file);
    bool watching() const { return m_watched != nullptr; }
    // Stops the game being watched and goes back to the records.
    void stopWatching();

    Form1& form1() { return m_form1; }
    Form2& form2() { return m_form2; }
    Form3& form3() { return m_form3; }
    Form4& form4() { return m_form4; }
    HighScoreRecord& record() { return m_record; }
    RecordsScreen& recordsScreen() { return m_recordsScreen; }

  private:
    // What the play screen reads: the world's clock, or the readings of the
    // game being watched.
    class PlayClock : public Clock {
      public:
        explicit PlayClock(Clock& outside) : world(outside), source(&outside) {}
        double now() const override { return source->now(); }
        Clock& world;
        Clock* source;
    };

    void screenUnloaded();
    void end();
    void watched();
    std::array<Screen*, 5> screens();

    HighScoreRecord m_record;
    PlayClock m_playClock;
    Form1 m_form1;
    Form2 m_form2;
    Form3 m_form3;
    Form4 m_form4;
    RecordsScreen m_recordsScreen;
    const Records* m_records;
    std::unique_ptr<ReplayPlayer> m_watched;
    Form1::Tap* m_playerTap = nullptr;
    std::vector<int32_t> m_carried; // what the player's last game left behind
    bool m_stopping = false;
    std::function<void()> m_endProgram;
    bool m_ended = false;
};
