// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/rules.h"
#include "play/form1.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A recorded game: everything a game takes from outside, so that it can be
// played again tick for tick. A game depends only on the state the last game
// left behind, the key events (and before which step each came) and the
// clock readings it took.

// The counters in the score screen's row order, by their names in the game.
inline constexpr std::array<const char*, 9> kCounterNames = {
    "life", "HitGan", "kabe", "Moves", "HitGan2", "kabe2", "Time", "spe", "GanGan"};

// How a game ended: "escape", "life", "time", "close".
const char* endName(Form1::End end);

// The total the score screen shows for these counters.
int32_t totalOf(const std::array<int32_t, 9>& counters);

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
