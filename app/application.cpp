// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"

#include "app/tune_dir.h"
#include "platform/fluidsynth_music_player.h"
#include "windows/play_window.h"
#include "windows/screen_widget.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

ScreenSet::ScreenSet(Platform platform, Form1::ViewFactory makePlayView,
                     std::function<void()> endProgram)
    : m_record(platform.settings),
      m_form1(Form1::Environment{platform.clock, platform.gameClock, platform.pause,
                                 platform.dialogs, platform.music, platform.random,
                                 platform.tuneDir},
              std::move(makePlayView)),
      m_form2(m_form1, m_record, platform.dialogs), m_form3(platform.shell), m_form4(m_record),
      m_endProgram(std::move(endProgram)) {
    m_form1.showScoreScreen = [this] { m_form2.show(); };
    m_form2.showTitleMenu = [this] { m_form3.show(); };
    m_form4.showTitleMenu = [this] { m_form3.show(); };
    m_form3.links = Form3::Links{&m_form1, &m_form2, &m_form4, [this] { end(); }};
    for (Screen* screen : {static_cast<Screen*>(&m_form1), static_cast<Screen*>(&m_form2),
                           static_cast<Screen*>(&m_form3), static_cast<Screen*>(&m_form4)}) {
        screen->unloaded = [this] { screenUnloaded(); };
    }
}

ScreenSet::~ScreenSet() {
    // Nothing may call back into a half-destroyed set.
    for (Screen* screen : {static_cast<Screen*>(&m_form1), static_cast<Screen*>(&m_form2),
                           static_cast<Screen*>(&m_form3), static_cast<Screen*>(&m_form4)}) {
        screen->unloaded = nullptr;
    }
}

void ScreenSet::start() {
    m_form2.show();
}

// Every way out of a screen opens another one first, so this only happens
// when the quit item has unloaded them all; it is a safety net should some
// other path ever leave the program without a screen.
void ScreenSet::screenUnloaded() {
    if (!m_form1.isLoaded() && !m_form2.isLoaded() && !m_form3.isLoaded() && !m_form4.isLoaded()) {
        end();
    }
}

void ScreenSet::end() {
    if (!m_ended && m_endProgram) {
        m_ended = true;
        m_endProgram();
    }
}

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
        ScreenSet::Platform{m_player ? m_player->clock() : m_replays.clock(), m_gameClock, m_pause,
                            m_dialogs, *m_music, m_random, m_settings, m_shell,
                            findTuneDir(QCoreApplication::applicationDirPath())},
        [](Form1& form) { return new PlayWindow(form); }, [] { QCoreApplication::quit(); });
    if (m_player) {
        form1().tap = m_player.get();
        // Enter on the score screen leaves it for no other: the program ends.
        m_screens->form2().watching = true;
        m_screens->form2().showTitleMenu = nullptr;
        QCoreApplication::instance()->installEventFilter(this);
    } else {
        form1().tap = &m_replays.tap();
        m_screens->form2().recordSaved = [this] { m_replays.keepAsRecord(); };
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
    const auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Escape) {
        QCoreApplication::exit(0);
        return true;
    }
    return form1().inGame() && !Form1::isPauseKey(virtualKey(*key));
}
