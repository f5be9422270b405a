// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL.h>

#include <array>

// A game controller that lives in this process only: SDL's virtual joystick,
// declared a game controller with the standard pad's buttons and axes in
// SDL's own order, so SDL's game controller layer maps it as it would a real
// pad. Plugged in when made, unplugged by unplug() or when destroyed.
class VirtualPad {
  public:
    VirtualPad() {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_VirtualJoystickDesc pad{};
        pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        pad.naxes = static_cast<Uint16>(m_axes.size());
        pad.nbuttons = static_cast<Uint16>(m_buttons.size());
        pad.name = "Spinmarsh test pad";
        m_joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&pad));
    }
    ~VirtualPad() {
        unplug();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool plugged() const { return m_joystick != nullptr; }

    void press(SDL_GameControllerButton button, bool down = true) {
        m_buttons[button] = down ? 1 : 0;
        SDL_JoystickSetVirtualButton(m_joystick, button, m_buttons[button]);
    }
    void release(SDL_GameControllerButton button) { press(button, false); }
    void tilt(SDL_GameControllerAxis axis, int value) {
        m_axes[axis] = static_cast<Sint16>(value);
        m_tilted[axis] = true;
        SDL_JoystickSetVirtualAxis(m_joystick, axis, m_axes[axis]);
    }

    // Whether SDL has read everything set so far. A press let go before SDL
    // reads the pad never happened, so each must be held until then.
    bool read() const {
        for (size_t i = 0; i < m_buttons.size(); ++i) {
            if (SDL_JoystickGetButton(m_joystick, static_cast<int>(i)) != m_buttons[i]) {
                return false;
            }
        }
        for (size_t i = 0; i < m_axes.size(); ++i) {
            if (m_tilted[i] && SDL_JoystickGetAxis(m_joystick, static_cast<int>(i)) != m_axes[i]) {
                return false;
            }
        }
        return true;
    }

    void unplug() {
        if (m_joystick == nullptr) {
            return;
        }
        const SDL_JoystickID id = SDL_JoystickInstanceID(m_joystick);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) {
                SDL_JoystickDetachVirtual(i);
            }
        }
        SDL_JoystickClose(m_joystick);
        m_joystick = nullptr;
    }

  private:
    SDL_Joystick* m_joystick = nullptr;
    std::array<Uint8, SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1> m_buttons{};
    // SDL starts the triggers fully out, so only the axes tilted count.
    std::array<Sint16, SDL_CONTROLLER_AXIS_MAX> m_axes{};
    std::array<bool, SDL_CONTROLLER_AXIS_MAX> m_tilted{};
};
