// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/input/machine_gamepads.h"

#if SPINMARSH_GAMEPAD
#include "platform/input/sdl_gamepads.h"
#endif

std::unique_ptr<Gamepads> makeGamepads() {
#if SPINMARSH_GAMEPAD
    return std::make_unique<SdlGamepads>();
#else
    return std::make_unique<NoGamepads>();
#endif
}
