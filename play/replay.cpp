// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/replay.h"

#include "base/project.h"
#include "base/rules.h"
#include "play/tally.h"

#include <algorithm>
#include <cmath>

namespace {

// A recording's clock beyond its readings: one tick, in the recording's whole
// milliseconds (the period rounded: twice it plus one, halved).
constexpr int64_t kTickMilliseconds = static_cast<int64_t>(rules::kTickPeriodMs * 2 + 1) / 2;
static_assert(kTickMilliseconds == 16);

} // namespace

void feedEvents(Form1& game, const std::vector<GameEvent>& events, size_t& next, int64_t step) {
    for (; next < events.size() && events[next].tick <= step && game.inGame(); ++next) {
        int16_t key = events[next].key;
        // A recording holds no pause, and a script that names a pause key
        // plays on as it always has: there is no window here to stand still.
        if (Form1::isPauseKey(key)) {
            continue;
        }
        switch (events[next].kind) {
        case GameEvent::Kind::Down:
            game.Form_KeyDown(key, 0);
            break;
        case GameEvent::Kind::Up:
            game.Form_KeyUp(key, 0);
            break;
        case GameEvent::Kind::Close:
            game.closeCommand();
            break;
        }
    }
}

double RecordedClock::now() const {
    const size_t i = m_next++;
    if (i < m_readings.size()) {
        return static_cast<double>(m_readings[i]) / 1000.0;
    }
    const int64_t last = m_readings.empty() ? 0 : m_readings.back();
    const auto beyond = static_cast<int64_t>(i + 1 - m_readings.size());
    return static_cast<double>(last + beyond * kTickMilliseconds) / 1000.0;
}

double GameRecorder::now() const {
    const auto ms = static_cast<int64_t>(std::llround(m_source.now() * 1000.0));
    m_game.readings.push_back(ms);
    return static_cast<double>(ms) / 1000.0;
}

void GameRecorder::loaded(Form1& game) {
    m_game = Recording{};
    m_game.program = SPINMARSH_VERSION;
    m_game.carried = carriedState(game);
    m_steps = 0;
}

void GameRecorder::stepping(Form1&) {
    ++m_steps;
}

void GameRecorder::taken(const Form1&, GameEvent::Kind kind, int16_t key) {
    // A held key repeats its press; a repeat changes nothing and would only
    // fill the file.
    if (!m_game.events.empty() && m_game.events.back().kind == kind &&
        m_game.events.back().key == key) {
        return;
    }
    m_game.events.push_back(GameEvent{m_steps, kind, key});
}

void GameRecorder::ended(const Form1& game) {
    m_game.end = game.endCause();
    m_game.ticks = std::max<int64_t>(0, m_steps - 1);
    m_game.counters = scoreCounters(game);
    m_game.total = totalOf(m_game.counters);
    if (finished) {
        finished(m_game);
    }
}

void ReplayPlayer::loaded(Form1& game) {
    setCarriedState(game, m_recording.carried);
}

void ReplayPlayer::stepping(Form1& game) {
    feedEvents(game, m_recording.events, m_event, m_steps++);
}

std::string firstDifference(const Recording& recorded, const Form1& played, int64_t ticks) {
    const auto differs = [](const std::string& what, const std::string& played_,
                            const std::string& recorded_) {
        return what + " is " + played_ + ", the recording says " + recorded_;
    };
    if (played.endCause() != recorded.end) {
        return differs("the end", endName(played.endCause()), endName(recorded.end));
    }
    if (ticks != recorded.ticks) {
        return differs("the number of ticks", std::to_string(ticks),
                       std::to_string(recorded.ticks));
    }
    const std::array<int32_t, 9> counters = scoreCounters(played);
    for (size_t i = 0; i < counters.size(); ++i) {
        if (counters[i] != recorded.counters[i]) {
            return differs(kCounterNames[i], std::to_string(counters[i]),
                           std::to_string(recorded.counters[i]));
        }
    }
    if (totalOf(counters) != recorded.total) {
        return differs("the total", std::to_string(totalOf(counters)),
                       std::to_string(recorded.total));
    }
    return {};
}
