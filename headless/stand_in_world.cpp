// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/stand_in_world.h"

Form1::Environment StandInWorld::playEnvironment(Clock& reads, const QString& tuneDir) {
    return Form1::Environment{reads, gameClock, sleeper, dialogs, music, random, tuneDir};
}
