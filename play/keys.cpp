#include "play/form1.h"

// The key handlers only record which direction is held on each axis; the
// tick turns that into acceleration.

void Form1::Form_KeyDown(int16_t& KeyCode, int) {
    if (m_phase != Phase::Countdown && m_phase != Phase::Play) {
        return;
    }
    if (tap != nullptr) {
        tap->taken(*this, GameEvent::Kind::Down, KeyCode);
    }
    switch (KeyCode) {
    case 27:
        m_end = End::Escape;
        GameOver();
        break;
    case 37:
        KeyX = 4;
        KeyXOn = 1;
        break;
    case 38:
        KeyY = 1;
        KeyYOn = 1;
        break;
    case 39:
        KeyX = 2;
        KeyXOn = 1;
        break;
    case 40:
        KeyY = 3;
        KeyYOn = 1;
        break;
    default:
        break;
    }
}

void Form1::Form_KeyUp(int16_t& KeyCode, int) {
    if (m_phase != Phase::Countdown && m_phase != Phase::Play) {
        return;
    }
    if (tap != nullptr) {
        tap->taken(*this, GameEvent::Kind::Up, KeyCode);
    }
    if (KeyCode == 37 || KeyCode == 39) {
        KeyX = 0;
        KeyXOn = 0;
    } else if (KeyCode == 38 || KeyCode == 40) {
        KeyY = 0;
        KeyYOn = 0;
    }
}
