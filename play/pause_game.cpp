// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/form1.h"

#include "base/key_codes.h"

#include <utility>

// A paused game stands still: its clock is held, so neither the countdown nor
// Time moves and the recording never learns of the pause; its window runs no
// timer; the music stops with its sound stream. The player's arrow keys wait
// until the game resumes, which only P does.

void Form1::Form_Deactivate() {
    // Whoever is at the keys has turned to another window.
    if (inGame() && !m_paused) {
        PauseGame();
    }
}

void Form1::PauseGame() {
    setPaused(true);
    m_env.music.pause();
}

void Form1::ResumeGame() {
    setPaused(false);
    for (const GameEvent& event : std::exchange(m_heldBack, {})) {
        int16_t key = event.key;
        if (event.kind == GameEvent::Kind::Down) {
            Form_KeyDown(key, 0);
        } else {
            Form_KeyUp(key, 0);
        }
    }
    m_env.music.resume();
}

void Form1::setPaused(bool paused) {
    m_paused = paused;
    if (paused) {
        m_env.gameClock.hold();
    } else {
        m_env.gameClock.release();
    }
    if (view() != nullptr) {
        view()->setPaused(paused);
    }
}

void Form1::holdBack(GameEvent::Kind kind, int16_t key) {
    if (key < key::kLeft || key > key::kDown) {
        return;
    }
    // A held key repeats its press; once is enough.
    if (!m_heldBack.empty() && m_heldBack.back().kind == kind && m_heldBack.back().key == key) {
        return;
    }
    m_heldBack.push_back(GameEvent{0, kind, key});
}
