// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/rules.h"
#include "play/form1.h"
#include "tools/simulator.h"

#include <cstdint>
#include <string>

// How a random game is meant to finish: on its own (its last life or its time
// limit), or by an Escape or a window close before tick `at` (0: in the
// countdown), unless it has finished on its own before then.
struct SoakPlan {
    enum class Finish { Natural, Escape, Close };
    Finish finish = Finish::Natural;
    int64_t at = 0;
};

// The rules every game keeps, whatever the keys do. Fed the state after each
// tick and at the end of each game; each step returns what broke, or an empty
// string. Kept apart from the simulator so it can be tried on made-up states.
class SoakCheck {
  public:
    // Starts the next game; the previous one must have ended exactly once.
    std::string begin(const SoakPlan& plan) {
        std::string broken = finish();
        m_plan = plan;
        m_last = fresh();
        m_lastTick = -1;
        m_ends = 0;
        m_started = true;
        return broken;
    }

    // After the last game: it too must have ended.
    std::string finish() const {
        if (m_started && m_ends == 0) {
            return "the game never ended";
        }
        return {};
    }

    std::string afterTick(int64_t tick, const GameState& s) {
        if (m_ends > 0) {
            return "a tick ran after the game had ended";
        }
        if (tick != m_lastTick + 1) {
            return "tick " + std::to_string(tick) + " came after tick " +
                   std::to_string(m_lastTick);
        }
        if (m_lastTick >= 0 && m_last.life == 0) {
            return "play went on after the last life";
        }
        if (std::string broken = inside("Boul", s.BoulX, s.BoulY); !broken.empty()) {
            return broken;
        }
        if (std::string broken = inside("Boul2", s.Boul2X, s.Boul2Y); !broken.empty()) {
            return broken;
        }
        if (!onLadder(s.BoulMax, rules::kBallBaseMax, 2 * rules::kBallBaseMax)) {
            return "BoulMax " + std::to_string(s.BoulMax) +
                   " is not its base cap + 200k up to twice that";
        }
        if (!onLadder(s.Boul2Max, rules::kEnemyBaseMax, 2 * rules::kEnemyBaseMax)) {
            return "Boul2Max " + std::to_string(s.Boul2Max) +
                   " is not its base cap + 200k up to twice that";
        }
        if ((s.Shot1On != 0 && s.Shot1On != -1) || (s.Shot2On != 0 && s.Shot2On != -1)) {
            return "shot flags " + std::to_string(s.Shot1On) + ", " + std::to_string(s.Shot2On) +
                   " are not -1 or 0";
        }
        if (s.Time < 0 || s.Time > rules::kTimeLimit) {
            return "Time " + std::to_string(s.Time) + " is outside 0..120";
        }
        if (s.spe != 0 && s.spe != 1) {
            return "spe " + std::to_string(s.spe) + " is not 0 or 1";
        }
        std::string broken = counters(s);
        m_last = s;
        m_lastTick = tick;
        return broken;
    }

    std::string atEnd(Form1::End end, int64_t ticks, const GameState& s, int endMessages,
                      int handOvers) {
        if (++m_ends > 1) {
            return "the game ended " + std::to_string(m_ends) + " times";
        }
        if (end == Form1::End::None) {
            return "the game stopped without an end";
        }
        const bool played = m_lastTick >= 0;
        if (ticks != (played ? m_lastTick : 0)) {
            return "the end counts " + std::to_string(ticks) + " ticks, the last was " +
                   std::to_string(m_lastTick);
        }
        if (std::string broken = counters(s); !broken.empty()) {
            return broken;
        }
        if (!played && !sameCounters(s, fresh())) {
            return "a game that ended in its countdown has counters other than life 5, rest 0";
        }
        if ((end == Form1::End::Life) != (s.life == 0)) {
            return "ended by " + std::string(endName(end)) + " with life " + std::to_string(s.life);
        }
        if ((end == Form1::End::Time) != (s.spe == 1) ||
            (end == Form1::End::Time && s.Time != rules::kTimeLimit)) {
            return "ended by " + std::string(endName(end)) + " with spe " + std::to_string(s.spe) +
                   ", Time " + std::to_string(s.Time);
        }
        if (std::string broken = asPlanned(end, ticks, played); !broken.empty()) {
            return broken;
        }
        // The window's close command skips the end message; the other ends
        // show it once. Either way one closing runs both closing handlers.
        const int messages = end == Form1::End::Close ? 0 : 1;
        if (endMessages != messages || handOvers != 2) {
            return "ended by " + std::string(endName(end)) + " with " +
                   std::to_string(endMessages) + " end messages and " + std::to_string(handOvers) +
                   " hand-overs";
        }
        return {};
    }

  private:
    // The counters as the load handler leaves them.
    static GameState fresh() {
        GameState s;
        s.life = rules::kLives;
        return s;
    }

    // Held inside the wall lines.
    static std::string inside(const char* ball, int32_t x, int32_t y) {
        using namespace rules;
        if (x >= kMargin && x <= kFieldWidth - kMargin - kBallSize && y >= kMargin &&
            y <= kFieldHeight - kMargin - kBallSize) {
            return {};
        }
        return std::string(ball) + " at (" + std::to_string(x) + ", " + std::to_string(y) +
               ") is outside the wall lines";
    }

    static bool onLadder(int32_t cap, int32_t base, int32_t top) {
        return cap >= base && cap <= top && (cap - base) % rules::kCapDecay == 0;
    }

    static bool sameCounters(const GameState& a, const GameState& b) {
        return a.kabe == b.kabe && a.kabe2 == b.kabe2 && a.life == b.life && a.Time == b.Time &&
               a.HitGan == b.HitGan && a.HitGan2 == b.HitGan2 && a.Moves == b.Moves &&
               a.GanGan == b.GanGan && a.spe == b.spe;
    }

    // Within a game only life goes down, by one at a time, from 5 to 0.
    std::string counters(const GameState& s) const {
        const std::pair<const char*, int32_t GameState::*> growing[] = {
            {"kabe", &GameState::kabe},       {"kabe2", &GameState::kabe2},
            {"Time", &GameState::Time},       {"HitGan", &GameState::HitGan},
            {"HitGan2", &GameState::HitGan2}, {"Moves", &GameState::Moves},
            {"GanGan", &GameState::GanGan},   {"spe", &GameState::spe}};
        for (const auto& [field, member] : growing) {
            if (s.*member < m_last.*member) {
                return std::string(field) + " went down from " + std::to_string(m_last.*member) +
                       " to " + std::to_string(s.*member);
            }
        }
        if (s.life < 0 || s.life > m_last.life || s.life < m_last.life - 1) {
            return "life went from " + std::to_string(m_last.life) + " to " +
                   std::to_string(s.life);
        }
        return {};
    }

    std::string asPlanned(Form1::End end, int64_t ticks, bool played) const {
        const bool byEscape = end == Form1::End::Escape;
        const bool byClose = end == Form1::End::Close;
        const bool planned = m_plan.finish != SoakPlan::Finish::Natural;
        const bool plannedEscape = m_plan.finish == SoakPlan::Finish::Escape;
        if (byEscape || byClose) {
            // Before tick T means after tick T - 1; before tick 1 or in the
            // countdown, no tick has run.
            const int64_t expected = m_plan.at > 0 ? m_plan.at - 1 : 0;
            if (!planned || byEscape != plannedEscape || ticks != expected ||
                played != (m_plan.at > 0)) {
                return "ended by " + std::string(endName(end)) + " after " + std::to_string(ticks) +
                       " ticks, not as the script said";
            }
            return {};
        }
        // A game that ends on its own must do so before its Escape or close.
        if (planned && ticks >= m_plan.at) {
            return "ended by " + std::string(endName(end)) + " after " + std::to_string(ticks) +
                   " ticks, past its " + (plannedEscape ? "Escape" : "close") + " before tick " +
                   std::to_string(m_plan.at);
        }
        return {};
    }

    SoakPlan m_plan;
    GameState m_last;
    int64_t m_lastTick = -1;
    int m_ends = 0;
    bool m_started = false;
};
