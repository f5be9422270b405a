// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/form1.h"

#include <QStringLiteral>

// A game ends once: by Escape, by its last life, by its time limit or by the
// window-close command. From the first of these on, neither timer does any
// work, even while a modal dialog runs its own event loop.

void Form1::stopTimers() {
    if (view() != nullptr) {
        view()->setTimer1Enabled(false);
        view()->setTimer2Enabled(false);
    }
    // A game ended while paused ends there: the pause sign goes, the keys
    // held back with it, and the clock runs again for the next game.
    if (m_paused) {
        setPaused(false);
        m_heldBack.clear();
    }
}

void Form1::GameOver() {
    if (!inGame()) {
        return;
    }
    m_phase = Phase::Ending;
    stopTimers();
    m_env.dialogs.MsgBox(QStringLiteral("終わり"));
    unload();
}

void Form1::closingHandler() {
    const bool first = m_phase != Phase::Closing;
    if (inGame()) {
        m_end = End::Close;
        if (tap != nullptr) {
            tap->taken(*this, GameEvent::Kind::Close, 0);
        }
    }
    m_phase = Phase::Closing;
    stopTimers();
    if (first && tap != nullptr) {
        tap->ended(*this);
    }
    // The tune plays on through the tally and the name prompt, and stops
    // once the score screen has appeared.
    if (showScoreScreen) {
        showScoreScreen();
    }
    m_env.music.close();
    m_env.music.stop();
}

void Form1::Form_QueryUnload() {
    closingHandler();
}

void Form1::Form_Unload() {
    closingHandler();
    m_env.music.tuneEnded = nullptr;
    m_phase = Phase::Closed;
    m_view = nullptr;
}
