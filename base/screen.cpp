// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/screen.h"

Screen::~Screen() {
    if (m_window != nullptr) {
        m_window->dispose();
    }
}

void Screen::show() {
    if (m_window == nullptr) {
        m_window = createWindow();
        Form_Load();
    }
    // The load handler may have unloaded the screen again.
    if (m_window != nullptr) {
        m_window->display();
    }
}

void Screen::hide() {
    if (m_window != nullptr) {
        m_window->conceal();
    }
}

void Screen::unload() {
    if (m_window == nullptr || m_unloading) {
        return;
    }
    m_unloading = true;
    Form_QueryUnload();
    Form_Unload();
    ScreenWindow* window = m_window;
    m_window = nullptr;
    window->dispose();
    m_unloading = false;
    if (unloaded) {
        unloaded();
    }
}

void Screen::Form_KeyDown(int16_t&, int) {}
void Screen::Form_KeyUp(int16_t&, int) {}
