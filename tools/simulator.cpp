// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/simulator.h"

#include "base/key_codes.h"
#include "base/rules.h"
#include "headless/play_driver.h"
#include "play/event_line.h"
#include "play/form1.h"
#include "play/game_fields.h"
#include "play/replay.h"
#include "play/tally.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace {

bool parseDouble(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

// The clock a script or --clock may start a game at: half of what the game's
// clock holds, so that the games after it, a few minutes each, never come
// near its end. A tick may be as long as a whole game, no longer.
constexpr double kMaxStartClock = static_cast<double>(kMaxReading) / 2000.0;
constexpr double kMaxPeriod = rules::kTimeLimit * 1000.0;

std::string badValue(const std::string& option, const std::string& text) {
    return "bad value for " + option + ": '" + text + "'";
}

} // namespace

std::optional<SimScript> parseScript(const std::string& text, std::string& error) {
    SimScript script;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    const auto refuse = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return std::nullopt;
    };
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> w = words(line);
        if (w.empty() || w[0][0] == '#') {
            continue;
        }
        if (w[0] == "game") {
            SimGame game;
            if (w.size() > 2) {
                return refuse("game takes at most one clock value");
            }
            if (w.size() == 2) {
                double start = 0;
                if (!parseDouble(w[1], start) || start < 0 || start > kMaxStartClock) {
                    return refuse("bad clock value '" + w[1] + "'");
                }
                game.start = start;
            }
            script.games.push_back(game);
            continue;
        }
        const auto event = parseEvent(w, error);
        if (!event) {
            return refuse(error);
        }
        if (script.games.empty()) {
            return refuse("event before the first game");
        }
        std::vector<SimEvent>& events = script.games.back().events;
        if (!events.empty() && event->tick < events.back().tick) {
            return refuse("tick goes backwards");
        }
        events.push_back(*event);
    }
    if (script.games.empty()) {
        error = "the script has no game";
        return std::nullopt;
    }
    return script;
}

namespace {
const char* const kUsage =
    "usage: spinmarsh-sim [--clock SECONDS] [--period MILLISECONDS] [--field PNG] < SCRIPT\n"
    "       spinmarsh-sim --replay RECORDING [--field PNG]\n"
    "       spinmarsh-sim --soak GAMES [--seed N]";

std::string formatDouble(double value) {
    char buffer[64];
    // The shortest text that reads back to the same value.
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::to_string(value);
}
} // namespace

std::string formatScript(const SimScript& script) {
    std::string text;
    for (const SimGame& game : script.games) {
        text += "game";
        if (game.start) {
            text += ' ' + formatDouble(*game.start);
        }
        text += '\n';
        for (const SimEvent& event : game.events) {
            text += formatEvent(event) + '\n';
        }
    }
    return text;
}

std::optional<SimOptions> parseOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    bool timed = false;
    bool seeded = false;
    const auto refuse = [&error](const std::string& why) {
        error = why;
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        const bool known = name == "--clock" || name == "--period" || name == "--soak" ||
                           name == "--seed" || name == "--replay" || name == "--field";
        if (!known || i + 1 >= args.size()) {
            return refuse(kUsage);
        }
        const std::string& text = args[++i];
        if (name == "--replay" || name == "--field") {
            (name == "--replay" ? options.replay : options.field) = text;
            continue;
        }
        if (name == "--soak" || name == "--seed") {
            uint64_t value = 0;
            const char* end = text.data() + text.size();
            auto [ptr, ec] = std::from_chars(text.data(), end, value);
            if (ec != std::errc() || ptr != end || text.empty()) {
                return refuse(badValue(name, text));
            }
            if (name == "--seed") {
                options.seed = value;
                seeded = true;
            } else if (value < 1 || value > 1'000'000'000) {
                return refuse(badValue(name, text));
            } else {
                options.soakGames = static_cast<int64_t>(value);
            }
            continue;
        }
        double value = 0;
        const double most = name == "--period" ? kMaxPeriod : kMaxStartClock;
        if (!parseDouble(text, value) || value < 0 || value > most ||
            (name == "--period" && value <= 0)) {
            return refuse(badValue(name, text));
        }
        (name == "--clock" ? options.clock : options.period) = value;
        timed = true;
    }
    if (options.soakGames && timed) {
        return refuse("--soak picks its own --clock and --period for each run of games");
    }
    if (!options.replay.empty() && timed) {
        return refuse("--replay plays on the recording's own clock: no --clock or --period");
    }
    if (options.soakGames && (!options.replay.empty() || !options.field.empty())) {
        return refuse("--soak plays its own games: no --replay or --field");
    }
    if (seeded && !options.soakGames) {
        return refuse("--seed goes with --soak");
    }
    return options;
}

namespace {

class Reporter {
  public:
    explicit Reporter(SimObserver& observer)
        : m_observer(observer), m_lines(observer.wantsLines()) {}

    void tick(int game, int64_t tick, const Form1& form) {
        m_observer.afterTick(game, tick, form);
        if (!m_lines) {
            return;
        }
        const GameState& s = form;
        m_out.str({});
        m_out << "{\"game\":" << game << ",\"tick\":" << tick;
        for (const GameField& field : game_fields::kAll) {
            if (field.printed) {
                m_out << ",\"" << field.name << "\":" << field.get(s);
            }
        }
        m_out << '}';
        m_observer.line(m_out.str());
    }

    void end(int game, int64_t ticks, const Form1& form, int endMessages, int handOvers) {
        m_observer.ended(game, ticks, form, endMessages, handOvers);
        if (!m_lines) {
            return;
        }
        const GameState& s = form;
        const Form1::End cause = form.endCause();
        m_out.str({});
        m_out << "{\"game\":" << game << ",\"end\":\"" << endName(cause)
              << "\",\"ticks\":" << ticks;
        const std::array<int32_t, kRows> counters = scoreCounters(s);
        for (int i = 0; i < kRows; ++i) {
            m_out << ",\"" << kCounterNames[i] << "\":" << counters[i];
        }
        // The same arithmetic as the score screen.
        const Tally t = tally(counters, kPointCaptions);
        m_out << ",\"subtotals\":[";
        for (int i = 0; i < kRows; ++i) {
            m_out << (i ? "," : "") << t.subtotals[i].toStdString();
        }
        m_out << "],\"total\":" << t.Score << '}';
        m_observer.line(m_out.str());
    }

  private:
    SimObserver& m_observer;
    const bool m_lines;
    std::ostringstream m_out;
};

} // namespace

namespace {
// The simulated clock, or a recording's readings while one plays.
class ScriptClock : public Clock {
  public:
    ScriptClock(const ManualClock& manual, SimObserver& observer)
        : m_manual(manual), m_observer(observer) {}
    double now() const override {
        const double time = recorded ? recorded->now() : m_manual.now();
        m_observer.clockRead(time);
        return time;
    }
    std::optional<RecordedClock> recorded;

  private:
    const ManualClock& m_manual;
    SimObserver& m_observer;
};
} // namespace

int64_t runScript(const SimScript& script, const SimOptions& options, SimObserver& observer) {
    StandInWorld world;
    ScriptClock clock(world.clock, observer);
    Form1 form(world.playEnvironment(clock), [](Form1&) { return new HeadlessPlayView; });
    PlayDriver drive(form, world, options.period / 1000.0);
    int handOvers = 0;
    form.showScoreScreen = [&handOvers] { ++handOvers; };
    Reporter report(observer);

    double next = options.clock;
    int64_t totalTicks = 0;
    int gameNumber = 0;
    for (const SimGame& game : script.games) {
        ++gameNumber;
        world.clock.time = game.start.value_or(next);
        clock.recorded.reset();
        if (game.recording != nullptr) {
            clock.recorded.emplace(game.recording->readings);
        }
        const auto messagesBefore = world.dialogs.messages.size();
        handOvers = 0;
        world.music.log.clear(); // nobody reads it, and a script may hold many games
        drive.load();
        if (game.recording != nullptr) {
            setCarriedState(form, game.recording->carried);
        }
        observer.loaded(gameNumber, form);
        const std::vector<GameEvent>& events =
            game.recording != nullptr ? game.recording->events : game.events;

        size_t event = 0;
        const auto applyEvents = [&](int64_t before) { feedEvents(form, events, event, before); };
        applyEvents(0);
        drive.countdown();
        if (form.phase() != Form1::Phase::Closed) {
            report.tick(gameNumber, 0, form);
            while (drive.tick(applyEvents)) {
                report.tick(gameNumber, drive.ticks(), form);
            }
        }
        report.end(gameNumber, drive.ticks(), form,
                   static_cast<int>(world.dialogs.messages.size() - messagesBefore), handOvers);
        totalTicks += drive.ticks();
        next = world.clock.time;
    }
    return totalTicks;
}
