// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>

// The window of a loaded screen. A screen owns at most one; dispose() lets it
// go, and the window takes care of destroying itself safely even when that
// happens inside one of its own event handlers.
class ScreenWindow {
  public:
    virtual void display() = 0; // show, bring to the front, take the keyboard
    virtual void conceal() = 0; // hide, keeping everything
    virtual void dispose() = 0;
    virtual bool isDisplayed() const = 0;

  protected:
    ~ScreenWindow() = default;
};

// One object per screen for the whole run. Its variables live as long as the
// object; its window exists only while the screen is loaded. Reading a
// variable never loads the screen.
class Screen {
  public:
    virtual ~Screen();

    // Loads the screen first when it is not loaded (window from the layout,
    // then Form_Load), then displays it and brings it to the front.
    void show();
    void hide();
    // Runs Form_QueryUnload and Form_Unload, then destroys the window.
    // Unloading an unloaded screen does nothing.
    void unload();

    bool isLoaded() const { return m_window != nullptr; }
    bool isShown() const { return m_window != nullptr && m_window->isDisplayed(); }

    // Events from the window, with the key codes of base/key_codes.h.
    virtual void Form_KeyDown(int16_t& KeyCode, int Shift);
    virtual void Form_KeyUp(int16_t& KeyCode, int Shift);
    // The window-close command (such as Alt+F4).
    virtual void closeCommand() { unload(); }
    // The screen's window stopped being the active window: another window took the focus, the
    // window was minimised, or a game controller in use was unplugged.
    virtual void Form_Deactivate() {}

    // Told after the screen has been unloaded, so the program can end when no
    // screen is left.
    std::function<void()> unloaded;

  protected:
    virtual ScreenWindow* createWindow() = 0;
    virtual void Form_Load() {}
    virtual void Form_QueryUnload() {}
    virtual void Form_Unload() {}

  private:
    ScreenWindow* m_window = nullptr;
    bool m_unloading = false;
};
