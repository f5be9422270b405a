// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/gamepads.h"

#include <memory>

// The machine's game controllers, or NoGamepads in a game built without them.
std::unique_ptr<Gamepads> makeGamepads();
