// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/logging.h"

// Below the given level nothing shows until a rule asks for it; the game
// never logs critical messages, so spinmarsh.audio is silent by default.
Q_LOGGING_CATEGORY(lcAudio, "spinmarsh.audio", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcTicks, "spinmarsh.ticks", QtCriticalMsg)
