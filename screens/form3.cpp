// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/form3.h"

#include "base/key_codes.h"

const std::array<QString, 4> Form3::kItemLabels = {
    QStringLiteral("Label1"), QStringLiteral("Label2"), QStringLiteral("Label3"),
    QStringLiteral("Label4")};

ScreenWindow* Form3::createWindow() {
    m_window = m_makeView(*this);
    return m_window;
}

void Form3::Form_Load() {
    // The layout already shows the first item and hides the others.
    MenuPos = 1;
}

void Form3::Form_Unload() {
    m_window = nullptr;
}

bool Form3::isItemVisible(int item) const {
    if (m_window == nullptr || item < 1 || item > 4) {
        return false;
    }
    return m_window->isLabelVisible(kItemLabels[static_cast<std::size_t>(item - 1)]);
}

void Form3::Form_KeyDown(int16_t& KeyCode, int) {
    switch (KeyCode) {
    case key::kEnter:
        // The actions leave MenuPos alone, so exactly one of these runs.
        if (MenuPos == 1) {
            Label1_Click();
        }
        if (MenuPos == 2) {
            Label2_Click();
        }
        if (MenuPos == 3) {
            Label3_Click();
        }
        if (MenuPos == 4) {
            Label4_Click();
        }
        break;
    case key::kUp:
        --MenuPos;
        break;
    case key::kDown:
        ++MenuPos;
        break;
    default:
        break;
    }
    if (MenuPos == 0) {
        MenuPos = 4;
    }
    if (MenuPos == 5) {
        MenuPos = 1;
    }
    // Quitting has taken the window away.
    if (m_window == nullptr || MenuPos < 1 || MenuPos > 4) {
        return;
    }
    for (int item = 1; item <= 4; ++item) {
        m_window->setLabelVisible(kItemLabels[static_cast<std::size_t>(item - 1)], item == MenuPos);
    }
}

void Form3::Label1_Click() {
    if (links.play != nullptr) {
        links.play->show();
    }
    hide();
}

void Form3::Label2_Click() {
    for (Screen* screen : {links.play, links.score, static_cast<Screen*>(this), links.highScore}) {
        if (screen != nullptr) {
            screen->unload();
        }
    }
    if (links.endProgram) {
        links.endProgram();
    }
}

void Form3::Label3_Click() {
    if (links.highScore != nullptr) {
        links.highScore->show();
    }
    hide();
}

void Form3::Label4_Click() {
    // Nothing to tell the player when no browser opens; the menu carries on.
    m_shell.open(webSite);
}
