// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/screen_set.h"

#include <algorithm>

ScreenSet::ScreenSet(Platform platform, Views views, std::function<void()> endProgram)
    : m_record(platform.settings), m_playClock(platform.clock),
      m_form1(Form1::Environment{m_playClock, platform.gameClock, platform.sleeper,
                                 platform.dialogs, platform.music, platform.random,
                                 platform.tuneDir},
              std::move(views.play)),
      m_form2(m_form1, m_record, platform.dialogs, std::move(views.score)),
      m_form3(platform.shell, std::move(views.menu)), m_form4(m_record, std::move(views.highScore)),
      m_recordsScreen(platform.records, std::move(views.records)), m_records(platform.records),
      m_endProgram(std::move(endProgram)) {
    m_form1.showScoreScreen = [this] {
        if (!m_stopping) {
            m_form2.show();
        }
    };
    m_form2.showTitleMenu = [this] {
        if (watching()) {
            watched();
        } else {
            m_form3.show();
        }
    };
    m_form4.showTitleMenu = [this] { m_form3.show(); };
    if (m_records != nullptr) {
        m_form4.showRecords = [this] { m_recordsScreen.open(); };
    }
    m_recordsScreen.back = [this] { m_form4.show(); };
    m_recordsScreen.watch = [this](const QString& file) { watch(file); };
    m_form3.links = Form3::Links{&m_form1, &m_form2, &m_form4, [this] { end(); }};
    m_form3.webSite = platform.webSite;
    for (Screen* screen : screens()) {
        screen->unloaded = [this] { screenUnloaded(); };
    }
}

ScreenSet::~ScreenSet() {
    // Nothing may call back into a half-destroyed set.
    for (Screen* screen : screens()) {
        screen->unloaded = nullptr;
    }
}

std::array<Screen*, 5> ScreenSet::screens() {
    return {&m_form1, &m_form2, &m_form3, &m_form4, &m_recordsScreen};
}

void ScreenSet::start() {
    m_form2.show();
}

void ScreenSet::startOnRecords() {
    m_recordsScreen.open();
}

void ScreenSet::watch(const QString& file) {
    std::string error;
    std::optional<Recording> game =
        m_records != nullptr ? m_records->game(file, error) : std::nullopt;
    if (!game) {
        return; // gone since the list was read: the list stays
    }
    m_carried = carriedState(m_form1);
    m_playerTap = m_form1.tap;
    m_watched = std::make_unique<ReplayPlayer>(std::move(*game));
    m_playClock.source = &m_watched->clock();
    m_form1.tap = m_watched.get();
    m_form2.watching = true;
    // Shown first, so that the program never stands without a screen.
    m_form1.show();
    m_recordsScreen.unload();
    m_form4.hide();
}

void ScreenSet::stopWatching() {
    if (watching() && m_form1.isLoaded()) {
        // The records come back in place of the score screen.
        m_stopping = true;
        m_form1.unload();
        m_stopping = false;
        watched();
    }
}

// Back from watching, to the records as they were left.
void ScreenSet::watched() {
    setCarriedState(m_form1, m_carried);
    m_form1.tap = m_playerTap;
    m_playClock.source = &m_playClock.world;
    m_form2.watching = false;
    m_recordsScreen.show();
    m_watched.reset();
}

// Every way out of a screen opens another one first, so this only happens
// when the quit item has unloaded them all; it is a safety net should some
// other path ever leave the program without a screen.
void ScreenSet::screenUnloaded() {
    const std::array<Screen*, 5> all = screens();
    if (std::none_of(all.begin(), all.end(), [](Screen* s) { return s->isLoaded(); })) {
        end();
    }
}

void ScreenSet::end() {
    if (!m_ended && m_endProgram) {
        m_ended = true;
        m_endProgram();
    }
}
