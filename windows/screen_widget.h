// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"

#include <QList>
#include <QWidget>

#include <functional>

class QKeyEvent;

// The platform's virtual-key code of a key event, 0 for keys the game never
// looks at.
int16_t virtualKey(const QKeyEvent& event);
// A key's press, not one repeated while it is held.
bool isFirstPress(const QKeyEvent& event);

// Keys of the program rather than of a screen: M switches the music off or
// on anywhere, F11 and Alt+Enter switch the play screen to fullscreen and
// back. No screen ever sees them.
enum class ProgramKey { None, Music, Fullscreen };
ProgramKey programKey(const QKeyEvent& event);

// Base of every screen's Qt window: a borderless window of a fixed client
// size, centred when shown, that hands every key to its screen before any of
// its controls (key preview), turns the window-close command into the
// screen's close command, and tells the screen when it stops being the
// active window.
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

    // M on any screen switches the music off or on: a choice for the whole
    // program, not a key of any screen, so no screen ever sees it. Set once
    // by the program; unset, M is a key like any other.
    static inline std::function<void()> switchMusic;

  protected:
    bool event(QEvent* event) override;
    // A key this window acts on itself instead of handing it to its screen:
    // true when taken, for its press and its release alike.
    virtual bool takeKey(const QKeyEvent& event);
    void closeEvent(QCloseEvent* event) override;

  private:
    void deactivated();

    Screen* m_screen;
    QList<int16_t> m_held; // keys pressed here and not let go yet, in order
};
