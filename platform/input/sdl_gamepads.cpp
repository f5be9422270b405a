// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/input/sdl_gamepads.h"

#include <QFileInfo>

#include <optional>
#include <utility>

namespace {

const QString kInputDevices = QStringLiteral("/dev/input");

// The buttons the game hears.
constexpr std::array<std::pair<SDL_GameControllerButton, Gamepads::Control>, 7> kButtons = {{
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, Gamepads::Control::Left},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, Gamepads::Control::Up},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, Gamepads::Control::Right},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, Gamepads::Control::Down},
    {SDL_CONTROLLER_BUTTON_A, Gamepads::Control::A},
    {SDL_CONTROLLER_BUTTON_START, Gamepads::Control::Start},
    {SDL_CONTROLLER_BUTTON_BACK, Gamepads::Control::Back},
}};

std::optional<Gamepads::Control> controlOf(Uint8 button) {
    for (const auto& [sdl, control] : kButtons) {
        if (sdl == button) {
            return control;
        }
    }
    return std::nullopt;
}

// Which way a stick axis points, -1, 0 or 1, from its value and the way it
// pointed before: pointing takes kStickPush, and once pointing it takes
// coming back inside kStickLetGo to stop.
int stickZone(int value, int before) {
    if (value >= (before > 0 ? SdlGamepads::kStickLetGo : SdlGamepads::kStickPush)) {
        return 1;
    }
    if (value <= -(before < 0 ? SdlGamepads::kStickLetGo : SdlGamepads::kStickPush)) {
        return -1;
    }
    return 0;
}

size_t index(Gamepads::Control control) {
    return static_cast<size_t>(control);
}

} // namespace

SdlGamepads::SdlGamepads() {
    // SDL would take SIGINT and SIGTERM for itself, and the game's end is the
    // window's business.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A is the south button on every pad, whatever letter it wears.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    m_ready = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!m_ready) {
        return;
    }
    m_timer.setInterval(kPollMs);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { poll(); });
    QObject::connect(&m_devices, &QFileSystemWatcher::directoryChanged, &m_devices, [this] {
        watchDevices();
        m_looking.setRemainingTime(kLookMs);
        poll();
    });
    watchDevices();
}

SdlGamepads::~SdlGamepads() {
    if (!m_ready) {
        return;
    }
    for (auto& [id, pad] : m_pads) {
        SDL_GameControllerClose(pad.controller);
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlGamepads::setListening(bool listening) {
    if (!m_ready || listening == m_listening) {
        return;
    }
    if (listening) {
        // Whatever the pads did while no one listened is read and dropped.
        poll();
        m_listening = true;
    } else {
        m_listening = false;
        for (auto& [id, pad] : m_pads) {
            letGo(id, pad);
        }
    }
    schedule();
}

void SdlGamepads::poll() {
    if (!m_ready) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        take(event);
    }
    schedule();
}

void SdlGamepads::take(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        plugged(event.cdevice.which);
        return;
    case SDL_CONTROLLERDEVICEREMOVED:
        unplugged(event.cdevice.which);
        return;
    default:
        break;
    }
    if (!m_listening) {
        return;
    }
    if (event.type == SDL_CONTROLLERBUTTONDOWN || event.type == SDL_CONTROLLERBUTTONUP) {
        const auto pad = m_pads.find(event.cbutton.which);
        const std::optional<Control> control = controlOf(event.cbutton.button);
        if (pad != m_pads.end() && control) {
            pad->second.pressed[index(*control)] = event.cbutton.state == SDL_PRESSED;
            tell(pad->first, pad->second);
        }
    } else if (event.type == SDL_CONTROLLERAXISMOTION) {
        const auto pad = m_pads.find(event.caxis.which);
        if (pad == m_pads.end()) {
            return;
        }
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
            pad->second.stickX = stickZone(event.caxis.value, pad->second.stickX);
        } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
            pad->second.stickY = stickZone(event.caxis.value, pad->second.stickY);
        }
        tell(pad->first, pad->second);
    }
}

void SdlGamepads::plugged(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // Told twice about one pad, SDL hands out the same controller again.
    if (!m_pads.try_emplace(id, Pad{controller}).second) {
        SDL_GameControllerClose(controller);
    }
}

void SdlGamepads::unplugged(SDL_JoystickID id) {
    const auto pad = m_pads.find(id);
    if (pad == m_pads.end()) {
        return;
    }
    // SDL has let go of its controls already, axes first, then buttons.
    SDL_GameControllerClose(pad->second.controller);
    m_pads.erase(pad);
    if (removed) {
        removed(id);
    }
}

void SdlGamepads::tell(SDL_JoystickID id, Pad& pad) {
    std::array<bool, kControls> now = pad.pressed;
    now[index(Control::Left)] = now[index(Control::Left)] || pad.stickX < 0;
    now[index(Control::Right)] = now[index(Control::Right)] || pad.stickX > 0;
    now[index(Control::Up)] = now[index(Control::Up)] || pad.stickY < 0;
    now[index(Control::Down)] = now[index(Control::Down)] || pad.stickY > 0;
    // Releases first: the stick swung from left to right in one reading must
    // leave Right held, and a key's release clears its whole axis.
    for (const bool down : {false, true}) {
        for (size_t c = 0; c < now.size(); ++c) {
            if (now[c] == down && pad.held[c] != down) {
                pad.held[c] = down;
                if (changed) {
                    changed(id, static_cast<Control>(c), down);
                }
            }
        }
    }
}

void SdlGamepads::letGo(SDL_JoystickID id, Pad& pad) {
    pad.pressed = {};
    pad.stickX = 0;
    pad.stickY = 0;
    tell(id, pad);
}

// The kernel's folder of input devices where there is one; else the folder
// it will appear in.
void SdlGamepads::watchDevices() {
    const QString folder =
        QFileInfo::exists(kInputDevices) ? kInputDevices : QStringLiteral("/dev");
    if (m_devices.directories() != QStringList{folder}) {
        if (!m_devices.directories().isEmpty()) {
            m_devices.removePaths(m_devices.directories());
        }
        m_devices.addPath(folder);
    }
}

void SdlGamepads::schedule() {
    const bool wanted = (m_listening && !m_pads.empty()) || !m_looking.hasExpired();
    if (!wanted) {
        m_timer.stop();
    } else if (!m_timer.isActive()) {
        m_timer.start();
    }
}
