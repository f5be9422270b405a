// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/form1.h"

#include "base/key_codes.h"

#include <utility>

// The key handlers only record which direction is held on each axis; the
// tick turns that into acceleration. P pauses and resumes.

bool Form1::isPauseKey(int16_t key) {
    return key == key::kP || key == key::kPause;
}

void Form1::Form_KeyDown(int16_t& KeyCode, int) {
    if (!inGame()) {
        return;
    }
    // The pause is the player's, not the game's: no recording holds its keys.
    // A held P repeats its press; only a fresh press switches.
    if (isPauseKey(KeyCode)) {
        if (std::exchange(m_pauseKeyDown, true)) {
            return;
        }
        if (m_paused) {
            ResumeGame();
        } else {
            PauseGame();
        }
        return;
    }
    if (m_paused && KeyCode != key::kEscape) {
        holdBack(GameEvent::Kind::Down, KeyCode);
        return;
    }
    if (tap != nullptr) {
        tap->taken(*this, GameEvent::Kind::Down, KeyCode);
    }
    switch (KeyCode) {
    case key::kEscape:
        m_end = End::Escape;
        GameOver();
        break;
    case key::kLeft:
        KeyX = 4;
        KeyXOn = 1;
        break;
    case key::kUp:
        KeyY = 1;
        KeyYOn = 1;
        break;
    case key::kRight:
        KeyX = 2;
        KeyXOn = 1;
        break;
    case key::kDown:
        KeyY = 3;
        KeyYOn = 1;
        break;
    default:
        break;
    }
}

void Form1::Form_KeyUp(int16_t& KeyCode, int) {
    if (isPauseKey(KeyCode)) {
        m_pauseKeyDown = false;
        return;
    }
    if (!inGame()) {
        return;
    }
    if (m_paused) {
        holdBack(GameEvent::Kind::Up, KeyCode);
        return;
    }
    if (tap != nullptr) {
        tap->taken(*this, GameEvent::Kind::Up, KeyCode);
    }
    if (KeyCode == key::kLeft || KeyCode == key::kRight) {
        KeyX = 0;
        KeyXOn = 0;
    } else if (KeyCode == key::kUp || KeyCode == key::kDown) {
        KeyY = 0;
        KeyYOn = 0;
    }
}
