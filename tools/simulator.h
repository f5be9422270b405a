#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The headless simulator: games of the real play core on a simulated clock,
// driven by a script of key events, reported as JSON Lines.

struct SimEvent {
    enum class Kind { Down, Up, Close };
    int64_t tick = 0; // the event comes before this tick (0: in the countdown)
    Kind kind = Kind::Down;
    int16_t key = 0;
};

struct SimGame {
    std::optional<double> start; // clock at load; unset: carry on from the last game
    std::vector<SimEvent> events;
};

struct SimScript {
    std::vector<SimGame> games;
};

// Parses a whole script. On a malformed script returns nothing and sets error
// to a message naming the line.
std::optional<SimScript> parseScript(const std::string& text, std::string& error);

struct SimOptions {
    double clock = 0.0;     // seconds, the first game's load time by default
    double period = 15.625; // milliseconds per tick
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
};

// Plays every game of the script; returns the number of ticks run.
int64_t runScript(const SimScript& script, const SimOptions& options, SimObserver& observer);
