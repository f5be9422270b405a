// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/screen_set.h"

ScreenSet::ScreenSet(Platform platform, Views views, std::function<void()> endProgram)
    : m_record(platform.settings),
      m_form1(Form1::Environment{platform.clock, platform.gameClock, platform.sleeper,
                                 platform.dialogs, platform.music, platform.random,
                                 platform.tuneDir},
              std::move(views.play)),
      m_form2(m_form1, m_record, platform.dialogs, std::move(views.score)),
      m_form3(platform.shell, std::move(views.menu)), m_form4(m_record, std::move(views.highScore)),
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
