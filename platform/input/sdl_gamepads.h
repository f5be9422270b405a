// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/gamepads.h"

#include <QDeadlineTimer>
#include <QFileSystemWatcher>
#include <QTimer>

#include <SDL.h>

#include <array>
#include <map>

// The pads through SDL's game controller layer, whose mapping database knows
// them by name; SDL's joystick subsystem only, no SDL window, video or sound.
//
// SDL gives nothing to wait on, so it is asked: every kPollMs while a pad is
// plugged in and listening, and for kLookMs after anything changes among the
// input devices (the kernel's device folder, watched through inotify, so
// nothing wakes while it stands still). With no pad, or while no window of
// the game is active, nothing is read at all.
class SdlGamepads : public Gamepads {
  public:
    // Half way out, the stick points; back inside three eighths, it does not:
    // a stick resting near the edge cannot chatter.
    static constexpr int kStickPush = 16384;
    static constexpr int kStickLetGo = 12288;
    static constexpr int kPollMs = 10;
    // Long enough for the desktop to give the player access to a new device.
    static constexpr int kLookMs = 3000;

    SdlGamepads();
    ~SdlGamepads() override;
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    void setListening(bool listening) override;
    // Takes in everything SDL has seen since it was last asked.
    void poll();

  private:
    struct Pad {
        SDL_GameController* controller = nullptr;
        std::array<bool, kControls> pressed{}; // its buttons, the D-pad's among them
        int stickX = 0, stickY = 0;            // -1, 0 or 1
        std::array<bool, kControls> held{};    // as told
    };

    void take(const SDL_Event& event);
    void plugged(int deviceIndex);
    void unplugged(SDL_JoystickID id);
    // Tells what changed of the pad's controls.
    void tell(SDL_JoystickID id, Pad& pad);
    void letGo(SDL_JoystickID id, Pad& pad);
    void watchDevices();
    void schedule();

    bool m_ready = false;
    bool m_listening = false;
    std::map<SDL_JoystickID, Pad> m_pads;
    QTimer m_timer;
    QFileSystemWatcher m_devices;
    QDeadlineTimer m_looking;
};
