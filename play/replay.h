// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "play/form1.h"
#include "play/recording.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Recording a game as it is played, and playing a recording again.

// Hands the game every event due before `step`, from events[next] on; stops
// where the game ends. Scripts and replays are fed by it alike.
void feedEvents(Form1& game, const std::vector<GameEvent>& events, size_t& next, int64_t step);

// Hands out recorded readings in order. Should a game that has gone its own
// way ask for more, the clock goes on at the tick rate, so it still ends.
class RecordedClock : public Clock {
  public:
    explicit RecordedClock(const std::vector<int64_t>& readings) : m_readings(readings) {}
    double now() const override;

  private:
    const std::vector<int64_t>& m_readings;
    mutable size_t m_next = 0;
};

// Records the game it is the tap and the clock of. Its readings are the
// source clock's rounded to the millisecond, so the game runs on exactly
// what is recorded.
class GameRecorder : public Form1::Tap, public Clock {
  public:
    explicit GameRecorder(const Clock& source) : m_source(source) {}

    double now() const override;
    void loaded(Form1& game) override;
    void stepping(Form1& game) override;
    void taken(const Form1& game, GameEvent::Kind kind, int16_t key) override;
    void ended(const Form1& game) override;

    // Told of every game once it has ended, whatever ended it.
    std::function<void(const Recording&)> finished;

  private:
    const Clock& m_source;
    mutable Recording m_game;
    int64_t m_steps = 0;
};

// Plays a recording into the game it is the tap of: the carried state at
// load, each event just before its step; the game reads clock().
class ReplayPlayer final : public Form1::Tap {
  public:
    explicit ReplayPlayer(Recording recording)
        : m_recording(std::move(recording)), m_clock(m_recording.readings) {}

    const Recording& recording() const { return m_recording; }
    Clock& clock() { return m_clock; }
    void loaded(Form1& game) override;
    void stepping(Form1& game) override;
    void taken(const Form1&, GameEvent::Kind, int16_t) override {}
    void ended(const Form1&) override {}

  private:
    const Recording m_recording;
    RecordedClock m_clock;
    size_t m_event = 0;
    int64_t m_steps = 0;
};

// Where a played game's end first differs from its recording, or empty.
std::string firstDifference(const Recording& recorded, const Form1& played, int64_t ticks);
