// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLoggingCategory>

// The game's diagnostics, all off by default; QT_LOGGING_RULES switches them
// on, for example QT_LOGGING_RULES="spinmarsh.audio=true" (every level) or
// "spinmarsh.ticks.debug=true".

// What FluidSynth and ALSA say about the sound output: their errors and
// warnings as warnings, the rest as debug messages.
Q_DECLARE_LOGGING_CATEGORY(lcAudio)
// One line per tick with the monotonic clock in nanoseconds: how the
// benchmarks see the pacing from outside.
Q_DECLARE_LOGGING_CATEGORY(lcTicks)
