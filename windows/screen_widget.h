// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"

#include <QWidget>

class QKeyEvent;

// The platform's virtual-key code of a key event, 0 for keys the game never
// looks at.
int16_t virtualKey(const QKeyEvent& event);

// Base of every screen's Qt window: a borderless window of a fixed client
// size, centred when shown, that hands every key to its screen before any of
// its controls (key preview) and turns the window-close command into the
// screen's close command.
class ScreenWidget : public QWidget, public virtual ScreenWindow {
    Q_OBJECT
  public:
    explicit ScreenWidget(Screen& screen);

    void display() override;
    void conceal() override;
    // Hides the window at once and destroys it once control is back in the
    // event loop, so a handler of this window may unload its own screen.
    void dispose() override;
    bool isDisplayed() const override { return isVisible(); }
    // The screen it shows; none once let go.
    Screen* screen() const { return m_screen; }

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Screen* m_screen;
};
