// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/rules.h"
#include "play/form1.h"
#include "play/recording.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The headless simulator: games of the real play core on a simulated clock,
// driven by a script of key events, reported as JSON Lines.

using SimEvent = GameEvent;

struct SimGame {
    std::optional<double> start; // clock at load; unset: carry on from the last game
    std::vector<SimEvent> events;
    // A recorded game instead: its carried state, events and clock readings.
    const Recording* recording = nullptr;
};

struct SimScript {
    std::vector<SimGame> games;
};

// Parses a whole script. On a malformed script returns nothing and sets error
// to a message naming the line.
std::optional<SimScript> parseScript(const std::string& text, std::string& error);

// Writes a script back as text that parseScript reads to the same games.
std::string formatScript(const SimScript& script);

struct SimOptions {
    double clock = 0.0; // seconds, the first game's load time by default
    double period = rules::kTickPeriodMs;
    // Soak mode: this many seeded random games, checked after every tick,
    // instead of a script.
    std::optional<int64_t> soakGames;
    uint64_t seed = 1;
    std::string replay; // a recording to play instead of a script
    std::string field;  // where to write the play field after the last tick
};

// Parses the command line (without the program name); on a bad option returns
// nothing and sets error.
std::optional<SimOptions> parseOptions(const std::vector<std::string>& args, std::string& error);

// Observes the simulator: every reported line, and the game after every tick
// for checks that need more than the printed fields.
class SimObserver {
  public:
    virtual ~SimObserver() = default;
    virtual void line(const std::string& json) = 0;
    // An observer that only checks the state can spare the formatting.
    virtual bool wantsLines() const { return true; }
    // The game right after its load, holding what the game before left.
    virtual void loaded(int /*game*/, const Form1& /*form*/) {}
    // Each reading the game takes of its clock, in seconds.
    virtual void clockRead(double /*seconds*/) {}
    // The game right after each reported tick (0: the start of play).
    virtual void afterTick(int /*game*/, int64_t /*tick*/, const Form1& /*form*/) {}
    // The game once it has ended, with how many end messages it showed and
    // how many times its closing handlers handed over to the score screen.
    virtual void ended(int /*game*/, int64_t /*ticks*/, const Form1& /*form*/, int /*endMessages*/,
                       int /*handOvers*/) {}
};

// Plays every game of the script; returns the number of ticks run.
int64_t runScript(const SimScript& script, const SimOptions& options, SimObserver& observer);
