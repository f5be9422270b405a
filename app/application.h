// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/replays.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/gamepads.h"
#include "platform/music_player.h"
#include "platform/pause.h"
#include "platform/random_source.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "play/form1.h"
#include "screens/form2.h"
#include "screens/form3.h"
#include "screens/form4.h"
#include "screens/high_score_record.h"
#include "windows/pad_keys.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

// The four screens, each one object for the whole run, wired to one another
// and to the world they talk to. The real program and the tests build the
// same set, with real or stand-in platform parts.
class ScreenSet {
  public:
    struct Platform {
        Clock& clock;
        Pause& pause;
        Dialogs& dialogs;
        MusicPlayer& music;
        RandomSource& random;
        SettingsStore& settings;
        Shell& shell;
        QString tuneDir; // the folder the tunes are in
    };

    // endProgram runs once the title menu's quit item has unloaded every
    // screen, or if ever no screen is left loaded.
    ScreenSet(Platform platform, Form1::ViewFactory makePlayView, std::function<void()> endProgram);
    ~ScreenSet();

    // The program starts on the score screen, before any game.
    void start();

    Form1& form1() { return m_form1; }
    Form2& form2() { return m_form2; }
    Form3& form3() { return m_form3; }
    Form4& form4() { return m_form4; }

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

// The running program: the real platform and the screens. Every game is
// recorded; given a recording, the program plays only that, then its score.
class Application : public QObject {
  public:
    explicit Application(std::optional<Recording> watched = std::nullopt);
    ~Application() override;

    void start();
    Form1& form1() { return m_screens->form1(); }
    ScreenSet& screens() { return *m_screens; }

  protected:
    // While a recording plays, Escape ends the program and no other key
    // reaches the game.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    SteadyClock m_clock;
    Replays m_replays{m_clock};
    std::unique_ptr<ReplayPlayer> m_player;
    SleepPause m_pause;
    QtDialogs m_dialogs;
    std::unique_ptr<MusicPlayer> m_music;
    ClockSeededRandom m_random;
    QSettingsStore m_settings;
    DesktopShell m_shell;
    std::unique_ptr<ScreenSet> m_screens;
    // Gone before the screens, so no window closing on the way out wakes them.
    std::unique_ptr<Gamepads> m_gamepads = makeGamepads();
    PadKeys m_padKeys{*m_gamepads};
};
