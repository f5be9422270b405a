// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tools/simulator.h"
#include "tools/soak_check.h"

#include <cstdint>
#include <iosfwd>
#include <random>
#include <vector>

// Seeded random games, played in runs of a few games on one play screen so
// that what carries over from game to game is exercised too.
struct SoakRun {
    SimScript script;
    SimOptions options; // the run's clock and tick period
    std::vector<SoakPlan> plans;
};

// Makes one run of `games` random games.
SoakRun makeSoakRun(std::mt19937_64& random, int games);

// Plays `games` random games from `seed`, checking every tick. Prints one
// summary line to out and returns 0, or on the first broken rule prints the
// game, tick and rule with a script that replays it to err and returns 1.
int runSoak(int64_t games, uint64_t seed, std::ostream& out, std::ostream& err);
