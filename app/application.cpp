// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"

#include "app/tune_dir.h"
#include "platform/fluidsynth_music_player.h"
#include "windows/screen_windows.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

namespace {
// The synthesizer loads its soundfont here, once, so no game's countdown
// waits for it. The sound server's mixer lists the music under the game's
// name and icon.
std::unique_ptr<MusicPlayer> makeMusicPlayer() {
    FluidSynthMusicPlayer::Options options;
    options.applicationName = QCoreApplication::applicationName();
    options.iconName = QGuiApplication::desktopFileName();
    return std::make_unique<FluidSynthMusicPlayer>(options);
}
} // namespace

Application::Application(std::optional<Recording> watched) : m_music(makeMusicPlayer()) {
    if (watched) {
        m_player = std::make_unique<ReplayPlayer>(std::move(*watched));
    }
    m_screens = std::make_unique<ScreenSet>(
        ScreenSet::Platform{m_player ? m_player->clock() : m_replays.clock(), m_pause, m_dialogs,
                            *m_music, m_random, m_settings, m_shell,
                            findTuneDir(QCoreApplication::applicationDirPath())},
        windowViews(), [] { QCoreApplication::quit(); });
    if (m_player) {
        form1().tap = m_player.get();
        // Enter on the score screen leaves it for no other: the program ends.
        m_screens->form2().watching = true;
        m_screens->form2().showTitleMenu = nullptr;
        QCoreApplication::instance()->installEventFilter(this);
    } else {
        form1().tap = &m_replays.tap();
        m_screens->record().game = m_replays.asRecordGame();
    }
}

Application::~Application() = default;

void Application::start() {
    if (m_player) {
        form1().show();
    } else {
        m_screens->start();
    }
}

bool Application::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        QCoreApplication::exit(0);
        return true;
    }
    const Form1::Phase phase = form1().phase();
    return phase == Form1::Phase::Countdown || phase == Form1::Phase::Play;
}
