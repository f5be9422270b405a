// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/rules.h"
#include "play/form1.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A recorded game: everything a game takes from outside, so that it can be
// played again tick for tick. A game depends only on the state the last game
// left behind, the key events (and before which step each came) and the
// clock readings it took.

// The words of a line, split at white space.
std::vector<std::string> words(const std::string& line);

// One event line, "T down KEY", "T up KEY" or "T close", as scripts and
// recordings write it. Parsing returns nothing and sets error on a bad line.
std::optional<GameEvent> parseEvent(const std::vector<std::string>& words, std::string& error);
std::string formatEvent(const GameEvent& event);

// The counters in the score screen's row order, by their names in the game.
inline constexpr std::array<const char*, 9> kCounterNames = {
    "life", "HitGan", "kabe", "Moves", "HitGan2", "kabe2", "Time", "spe", "GanGan"};

// How a game ended: "escape", "life", "time", "close".
const char* endName(Form1::End end);

// The limit on a recording file; a 120-second game takes well under a tenth.
inline constexpr qint64 kMaxRecordingBytes = 1 << 20;

// A game's clock readings, in milliseconds: from 0, never backwards, and
// never past what StartTime, the start of play in whole seconds in 32 bits,
// can hold.
inline constexpr int64_t kMaxReading = int64_t{INT32_MAX} * 1000;
// The most ticks a game runs: it ends once its time limit has passed since
// the start of play, and the window ticks 64 times a second; the bound leaves
// room for a timer of 100 a second, the soak's fastest.
inline constexpr int64_t kMaxTicks = (int64_t{rules::kTimeLimit} + 1) * 100;

struct Recording {
    std::string program; // the version of the program that played it
    // Every variable the load leaves as the game before left it, in the
    // order of carriedNames().
    std::vector<int32_t> carried;
    std::vector<GameEvent> events;
    // The clock readings the game took, in milliseconds, in order: the start
    // of play, then one per tick.
    std::vector<int64_t> readings;
    Form1::End end = Form1::End::None;
    int64_t ticks = 0;
    std::array<int32_t, 9> counters{};
    int32_t total = 0;
};

std::vector<std::string> carriedNames();
std::vector<int32_t> carriedState(const GameState& game);
void setCarriedState(GameState& game, const std::vector<int32_t>& values);

// What no game can leave behind or read: each says why, or is empty. A
// recording is held to them as it is read, so that nothing in a file can take
// the game where its arithmetic overflows; the soak holds every game to them,
// so that no real game is refused.
std::string impossibleCarried(const std::vector<int32_t>& carried);
// A clock reading after `previous` (0 for the first).
std::string impossibleReading(int64_t previous, int64_t reading);
std::string impossibleTicks(int64_t ticks);
std::string impossibleCounters(const std::array<int32_t, 9>& counters);

std::string formatRecording(const Recording& recording);
// Refuses anything but a whole recording of this format: error names the
// line where it went wrong.
std::optional<Recording> parseRecording(const std::string& text, std::string& error);
// Reads and parses a file; error is one line naming the file.
std::optional<Recording> loadRecording(const QString& path, std::string& error);

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
class ReplayPlayer : public Form1::Tap {
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
