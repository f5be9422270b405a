// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/soak.h"

#include "base/key_codes.h"
#include "base/rules.h"
#include "play/tally.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iomanip>
#include <ostream>

namespace {

using Random = std::mt19937_64;

int64_t uniform(Random& random, int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random);
}

double uniformReal(Random& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

bool chance(Random& random, double p) {
    return std::bernoulli_distribution(p)(random);
}

// Most runs tick at the real rate. A run with a slow simulated tick
// reaches the time limit in a few hundred ticks, so games that survive to it
// stay cheap; the rules per tick are the same whatever the period.
double pickPeriod(Random& random) {
    const int64_t kind = uniform(random, 0, 9);
    if (kind < 6) {
        return rules::kTickPeriodMs;
    }
    if (kind < 7) {
        return uniformReal(random, 10.0, 40.0);
    }
    return uniformReal(random, 200.0, 3000.0);
}

// Holding times: mostly taps and short holds, now and then a long one.
int64_t holdLength(Random& random) {
    return chance(random, 0.8) ? uniform(random, 0, 60) : uniform(random, 60, 1000);
}

struct Timed {
    int64_t tick;
    uint64_t order; // shuffles events of the same tick
    SimEvent event;
};

SimEvent keyEvent(SimEvent::Kind kind, int key) {
    SimEvent event;
    event.kind = kind;
    event.key = static_cast<int16_t>(static_cast<uint16_t>(key));
    return event;
}

SimGame makeGame(Random& random, double period, SoakPlan& plan) {
    SimGame game;
    if (chance(random, 0.25)) {
        game.start = uniformReal(random, 0.0, 90000.0);
    }

    // Ticks to the time limit, with room for the rounding of the seconds.
    const int64_t limit =
        static_cast<int64_t>(std::ceil((rules::kTimeLimit + 1) / (period / 1000.0))) + 2;
    const int64_t kind = uniform(random, 0, 99);
    if (kind < 25) {
        plan.finish = SoakPlan::Finish::Escape;
    } else if (kind < 40) {
        plan.finish = SoakPlan::Finish::Close;
    } else {
        plan.finish = SoakPlan::Finish::Natural;
    }
    if (plan.finish != SoakPlan::Finish::Natural) {
        const int64_t when = uniform(random, 0, 9);
        plan.at = when < 2 ? 0 : when < 6 ? uniform(random, 1, 200) : uniform(random, 1, limit);
    }
    const int64_t horizon = plan.finish == SoakPlan::Finish::Natural ? limit : plan.at;

    std::vector<Timed> events;
    const auto add = [&](int64_t tick, SimEvent event) {
        events.push_back({tick, random(), event});
    };
    // Each arrow key goes down and up on its own; some are already held in
    // the countdown, some are pressed again while held, as auto-repeat does.
    for (int key = key::kLeft; key <= key::kDown; ++key) {
        int64_t tick = chance(random, 0.3) ? 0 : uniform(random, 0, 120);
        while (tick <= horizon) {
            add(tick, keyEvent(SimEvent::Kind::Down, key));
            const int64_t held = holdLength(random);
            if (held > 1 && chance(random, 0.2)) {
                add(tick + uniform(random, 1, held - 1), keyEvent(SimEvent::Kind::Down, key));
            }
            tick += held;
            add(tick, keyEvent(SimEvent::Kind::Up, key));
            tick += uniform(random, 0, 90);
        }
    }
    // Keys the game has no use for, Escape excepted.
    if (chance(random, 0.1)) {
        for (int64_t i = uniform(random, 1, 5); i > 0; --i) {
            int key =
                chance(random, 0.5) ? key::kEnter : static_cast<int>(uniform(random, 0, 65535));
            if (key == key::kEscape) {
                key = key::kEnter;
            }
            const int64_t tick = uniform(random, 0, std::max<int64_t>(horizon, 0));
            add(tick, keyEvent(SimEvent::Kind::Down, key));
            add(tick, keyEvent(SimEvent::Kind::Up, key));
        }
    }
    if (plan.finish == SoakPlan::Finish::Escape) {
        add(plan.at, keyEvent(SimEvent::Kind::Down, key::kEscape));
    } else if (plan.finish == SoakPlan::Finish::Close) {
        SimEvent close;
        close.kind = SimEvent::Kind::Close;
        add(plan.at, close);
    }

    std::sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    for (const Timed& timed : events) {
        SimEvent event = timed.event;
        event.tick = timed.tick;
        game.events.push_back(event);
    }
    return game;
}

// Checks every game of one run; remembers the first rule broken.
class Checker : public SimObserver {
  public:
    explicit Checker(const std::vector<SoakPlan>& plans) : m_plans(plans) {}

    void line(const std::string&) override {}
    bool wantsLines() const override { return false; }

    // What the game took from the game before and from its clock must be
    // what a recording of it may hold.
    void loaded(int game, const Form1& form) override {
        enter(game);
        m_readings.clear();
        note(game, -1, impossibleCarried(carriedState(form)));
    }

    void clockRead(double seconds) override {
        m_readings.push_back(std::llround(seconds * 1000.0));
    }

    void afterTick(int game, int64_t tick, const Form1& form) override {
        enter(game);
        note(game, tick, m_check.afterTick(tick, form));
    }

    void ended(int game, int64_t ticks, const Form1& form, int endMessages,
               int handOvers) override {
        enter(game);
        const Form1::End end = form.endCause();
        ++ends[static_cast<int>(end)];
        note(game, ticks, m_check.atEnd(end, ticks, form, endMessages, handOvers));
        int64_t previous = 0;
        for (int64_t reading : m_readings) {
            note(game, ticks, impossibleReading(previous, reading));
            previous = reading;
        }
        note(game, ticks, impossibleTicks(ticks));
        note(game, ticks, impossibleCounters(scoreCounters(form)));
    }

    void finish() { note(m_game, -1, m_check.finish()); }

    bool failed() const { return !broken.empty(); }

    int failedGame = 0;     // 1-based within the run
    int64_t failedTick = 0; // -1: between games
    std::string broken;
    int64_t ends[5] = {}; // by Form1::End

  private:
    void enter(int game) {
        if (game != m_game) {
            note(m_game, -1, m_check.begin(m_plans.at(static_cast<size_t>(game - 1))));
            m_game = game;
        }
    }

    void note(int game, int64_t tick, std::string what) {
        if (!what.empty() && broken.empty()) {
            failedGame = game;
            failedTick = tick;
            broken = std::move(what);
        }
    }

    const std::vector<SoakPlan>& m_plans;
    SoakCheck m_check;
    int m_game = 0;
    std::vector<int64_t> m_readings; // the game's, in milliseconds
};

} // namespace

SoakRun makeSoakRun(std::mt19937_64& random, int games) {
    SoakRun run;
    run.options.period = pickPeriod(random);
    run.options.clock = chance(random, 0.5) ? 0.0 : uniformReal(random, 0.0, 90000.0);
    for (int i = 0; i < games; ++i) {
        SoakPlan plan;
        run.script.games.push_back(makeGame(random, run.options.period, plan));
        run.plans.push_back(plan);
    }
    return run;
}

int runSoak(int64_t games, uint64_t seed, std::ostream& out, std::ostream& err) {
    const auto started = std::chrono::steady_clock::now();
    Random random(seed);
    int64_t played = 0;
    int64_t ticks = 0;
    int64_t ends[5] = {};
    while (played < games) {
        const int size = static_cast<int>(std::min<int64_t>(uniform(random, 1, 8), games - played));
        SoakRun run = makeSoakRun(random, size);
        Checker checker(run.plans);
        ticks += runScript(run.script, run.options, checker);
        checker.finish();
        if (checker.failed()) {
            const int64_t game = played + checker.failedGame;
            err << "soak: game " << game << ", "
                << (checker.failedTick >= 0 ? "tick " + std::to_string(checker.failedTick)
                                            : std::string("between games"))
                << ", seed " << seed << ": " << checker.broken << '\n'
                << "replay it as game " << checker.failedGame << " of:\n"
                << "spinmarsh-sim --clock " << std::setprecision(17) << run.options.clock
                << " --period " << run.options.period << " <<'EOF'\n";
            run.script.games.resize(static_cast<size_t>(checker.failedGame));
            err << formatScript(run.script) << "EOF\n";
            return 1;
        }
        for (int i = 0; i < 5; ++i) {
            ends[i] += checker.ends[i];
        }
        played += size;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    out << "soak: " << played << " games, " << ticks << " ticks checked, seed " << seed
        << "; ends: escape " << ends[static_cast<int>(Form1::End::Escape)] << ", close "
        << ends[static_cast<int>(Form1::End::Close)] << ", life "
        << ends[static_cast<int>(Form1::End::Life)] << ", time "
        << ends[static_cast<int>(Form1::End::Time)] << "; all rules held (" << std::fixed
        << std::setprecision(1) << took.count() << " s)\n";
    return 0;
}
