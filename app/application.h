// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/replays.h"
#include "platform/audio/music_switch.h"
#include "platform/clock.h"
#include "platform/input/machine_gamepads.h"
#include "platform/music_player.h"
#include "platform/random_source.h"
#include "platform/shell.h"
#include "platform/sleeper.h"
#include "platform/storage/preferences.h"
#include "platform/storage/qsettings_store.h"
#include "screens/screen_set.h"
#include "windows/pad_keys.h"
#include "windows/qt_dialogs.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class PlayWindow;

// The running program: the real platform and the screens. Every game is
// recorded; given a recording, the program plays only that, then its score.
// The player's choices (music, fullscreen) are read once at the start and
// saved as each one changes.
class Application : public QObject {
  public:
    explicit Application(std::optional<Recording> watched = std::nullopt);
    ~Application() override;

    // On the score screen, or with onRecords on the records screen.
    void start(bool onRecords = false);
    Form1& form1() { return m_screens->form1(); }
    ScreenSet& screens() { return *m_screens; }

  protected:
    // While a recording plays, no key reaches the game but P, which pauses
    // it; F held plays it four times as fast. Escape ends the program, or,
    // for a game watched from the records, goes back to them.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void switchMusic();

    IniPreferences m_preferences;
    Choices m_choices;
    SteadyClock m_clock;
    PausableClock m_gameClock{m_clock};
    Records m_records{RecordsFolder(), accountName()};
    Replays m_replays{m_gameClock, m_records};
    std::unique_ptr<ReplayPlayer> m_player;
    ThreadSleeper m_sleeper;
    QtDialogs m_dialogs;
    std::unique_ptr<MusicPlayer> m_music;
    MusicSwitch m_musicSwitch;
    ClockSeededRandom m_random;
    QSettingsStore m_settings;
    DesktopShell m_shell;
    std::unique_ptr<ScreenSet> m_screens;
    QPointer<PlayWindow> m_playWindow;
    // Gone before the screens, so no window closing on the way out wakes them.
    std::unique_ptr<Gamepads> m_gamepads = makeGamepads();
    PadKeys m_padKeys{*m_gamepads};
};
