// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"

#include "app/build_config.h"
#include "app/data_dir.h"
#include "platform/audio/fluidsynth_music_player.h"
#include "windows/play_window.h"
#include "windows/screen_widget.h"
#include "windows/screen_windows.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStandardPaths>

namespace {
// How much faster a watched game runs while F is held.
constexpr int kFastSpeed = 4;

// The synthesizer loads its soundfont here, once, so no game's countdown
// waits for it. The sound server's mixer lists the music under the game's
// name and icon. The tunes' renderings are kept with the user's other caches.
std::unique_ptr<MusicPlayer> makeMusicPlayer() {
    FluidSynthMusicPlayer::Options options;
    options.applicationName = QCoreApplication::applicationName();
    options.iconName = QGuiApplication::desktopFileName();
    options.keptTunes = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                        QStringLiteral("/spinmarsh/tunes");
    return std::make_unique<FluidSynthMusicPlayer>(options);
}
} // namespace

Application::Application(std::optional<Recording> watched)
    : m_preferences(
          IniPreferences::userFile(QStringLiteral(SPINMARSH_APP_ID), QStringLiteral("spinmarsh"))),
      m_choices(m_preferences.load()), m_music(makeMusicPlayer()),
      m_musicSwitch(*m_music, m_choices.music) {
    if (watched) {
        m_player = std::make_unique<ReplayPlayer>(std::move(*watched));
    }
    m_screens = std::make_unique<ScreenSet>(
        ScreenSet::Platform{m_player ? m_player->clock() : m_replays.clock(), m_gameClock,
                            m_sleeper, m_dialogs, m_musicSwitch, m_random, m_settings, m_shell,
                            findTuneDir(QCoreApplication::applicationDirPath()),
                            findWebSite(QCoreApplication::applicationDirPath()), &m_records},
        [this] {
            ScreenSet::Views views = windowViews();
            views.play = [this](Form1& form) {
                m_playWindow = new PlayWindow(form, {m_choices.fullscreen, !m_choices.music});
                m_playWindow->fullscreenSwitched = [this](bool on) {
                    m_choices.fullscreen = on;
                    m_preferences.save(m_choices);
                };
                return m_playWindow.data();
            };
            return views;
        }(),
        [] { QCoreApplication::quit(); });
    ScreenWidget::switchMusic = [this] { switchMusic(); };
    if (m_player) {
        form1().tap = m_player.get();
        // Enter on the score screen leaves it for no other: the program ends.
        m_screens->form2().watching = true;
        m_screens->form2().showTitleMenu = nullptr;
    } else {
        form1().tap = &m_replays.tap();
        m_screens->record().game = m_replays.asRecordGame();
        m_records.open();
        m_screens->form2().tallied = [this](const std::optional<QString>& typed) {
            if (!m_replays.lastFiled().isEmpty() || typed) {
                m_records.enter(m_replays.lastFiled(), typed);
            }
        };
    }
    QCoreApplication::instance()->installEventFilter(this);
}

Application::~Application() {
    ScreenWidget::switchMusic = nullptr;
}

void Application::switchMusic() {
    m_choices.music = !m_choices.music;
    m_musicSwitch.setOn(m_choices.music);
    if (m_playWindow) {
        m_playWindow->setMusicOff(!m_choices.music);
    }
    m_preferences.save(m_choices);
}

void Application::start(bool onRecords) {
    if (m_player) {
        form1().show();
    } else if (onRecords) {
        m_screens->startOnRecords();
    } else {
        m_screens->start();
    }
}

bool Application::eventFilter(QObject* watched, QEvent* event) {
    if ((!m_player && !m_screens->watching()) ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (programKey(*key) != ProgramKey::None) {
        return false; // the music and fullscreen work while watching too
    }
    const bool press = event->type() == QEvent::KeyPress;
    if (key->key() == Qt::Key_F && form1().inGame()) {
        if (!key->isAutoRepeat() && m_playWindow) {
            m_playWindow->setSpeed(press ? kFastSpeed : 1);
        }
        return true;
    }
    if (press && key->key() == Qt::Key_Escape) {
        if (m_player) {
            QCoreApplication::exit(0);
            return true;
        }
        if (form1().inGame()) {
            m_screens->stopWatching();
            return true;
        }
    }
    return form1().inGame() && !Form1::isPauseKey(virtualKey(*key));
}
