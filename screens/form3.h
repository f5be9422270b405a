// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"
#include "platform/shell.h"
#include "screens/layout_view.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// The title menu: one item shown at a time, Up and Down step round the four,
// Enter or a click on the word shown runs it.
class Form3 : public Screen {
  public:
    // The screens the menu leads to, and how the program ends.
    struct Links {
        Screen* play = nullptr;
        Screen* score = nullptr;
        Screen* highScore = nullptr;
        std::function<void()> endProgram;
    };

    using ViewFactory = std::function<LayoutView*(Form3&)>;

    Form3(Shell& shell, ViewFactory makeView) : m_shell(shell), m_makeView(std::move(makeView)) {}
    Links links;
    // Where the last item takes the player: any address the desktop opens.
    QString webSite;

    int16_t menuPos() const { return MenuPos; }
    // Whether the item's word (1 to 4) is the one shown; false while the menu
    // is not loaded.
    bool isItemVisible(int item) const;

    void Form_KeyDown(int16_t& KeyCode, int Shift) override;
    void Label1_Click(); // Start
    void Label2_Click(); // owari: quit
    void Label3_Click(); // High score
    void Label4_Click(); // the web site

    // The items' words, 1 to 4, by their layout names.
    static const std::array<QString, 4> kItemLabels;

  protected:
    ScreenWindow* createWindow() override;
    void Form_Load() override;
    void Form_Unload() override;

  private:
    Shell& m_shell;
    ViewFactory m_makeView;
    LayoutView* m_window = nullptr;
    int16_t MenuPos = 0;
};
