// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/form4.h"

#include "base/key_codes.h"

ScreenWindow* Form4::createWindow() {
    m_window = m_makeView(*this);
    return m_window;
}

QString Form4::caption(const QString& label) const {
    return m_window != nullptr ? m_window->caption(label) : QString();
}

void Form4::Form_Load() {
    m_window->setCaption(QStringLiteral("n"), m_record.name());
    m_window->setCaption(QStringLiteral("hs"), m_record.scoreText());
}

void Form4::Form_Unload() {
    m_window = nullptr;
}

void Form4::Form_KeyDown(int16_t& KeyCode, int) {
    if (KeyCode == key::kEnter) {
        leave();
    } else if (KeyCode == key::kRight && showRecords) {
        showRecords();
    }
}

void Form4::closeCommand() {
    leave();
}

void Form4::leave() {
    if (showTitleMenu) {
        showTitleMenu();
    }
    unload();
}
