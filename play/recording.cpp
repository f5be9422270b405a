// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/recording.h"

#include "platform/regular_file.h"
#include "play/event_line.h"
#include "play/game_fields.h"
#include "play/tally.h"

#include <algorithm>
#include <sstream>

namespace {

// Changes whenever a recording could play differently: the format, or the
// game's rules.
const std::string kHeader = "spinmarsh-replay 1";
constexpr size_t kReadingsPerLine = 32;

using namespace rules;

// The counters as a game ends, in the score screen's order. HitCheck runs
// once at the start of play and once a tick; each of its calls counts a shot
// at most twice and a meeting of the shots once. A tick counts Moves at most
// twice, and a ball's bounces at most twice per wall test, of which it has
// one in the tick and one in a collision.
constexpr int64_t kChecks = kMaxTicks + 1;
constexpr std::array<Bound, 9> kCounterBounds = {Bound{0, kLives},      // life
                                                 Bound{0, 2 * kChecks}, // HitGan
                                                 Bound{0, 4 * kChecks}, // kabe
                                                 Bound{0, 2 * kChecks}, // Moves
                                                 Bound{0, 2 * kChecks}, // HitGan2
                                                 Bound{0, 4 * kChecks}, // kabe2
                                                 Bound{0, kTimeLimit},  // Time
                                                 Bound{0, 1},           // spe
                                                 Bound{0, kChecks}};    // GanGan

// The key codes the window hands over: a virtual-key code is one byte, and
// neither 0 nor 255 is a key.
constexpr Bound kKeyCode{1, 254};

// "name=value" with exactly this name.
bool parseNamed(const std::string& word, const char* name, int32_t& value) {
    const std::string prefix = std::string(name) + '=';
    return word.rfind(prefix, 0) == 0 && parseNumber(word.substr(prefix.size()), value);
}

std::string named(const char* name, int32_t value) {
    return std::string(name) + '=' + std::to_string(value);
}

} // namespace

int32_t totalOf(const std::array<int32_t, 9>& counters) {
    return tally(counters, kPointCaptions).Score;
}

const char* endName(Form1::End end) {
    switch (end) {
    case Form1::End::Escape:
        return "escape";
    case Form1::End::Life:
        return "life";
    case Form1::End::Time:
        return "time";
    case Form1::End::Close:
        return "close";
    case Form1::End::None:
        break;
    }
    return "none";
}

std::vector<std::string> carriedNames() {
    std::vector<std::string> names;
    forEachField(Fate::Carried,
                 [&names](const GameField& field) { names.emplace_back(field.name); });
    return names;
}

std::vector<int32_t> carriedState(const GameState& game) {
    std::vector<int32_t> values;
    forEachField(Fate::Carried, [&](const GameField& field) { values.push_back(field.get(game)); });
    return values;
}

void setCarriedState(GameState& game, const std::vector<int32_t>& values) {
    size_t i = 0;
    forEachField(Fate::Carried, [&](const GameField& field) { field.set(game, values.at(i++)); });
}

std::string impossibleCarried(const std::vector<int32_t>& carried) {
    std::string why;
    size_t i = 0;
    forEachField(Fate::Carried, [&](const GameField& field) {
        const int32_t value = carried.at(i++);
        if (why.empty() && !field.bound.holds(value)) {
            why = named(field.name, value) + " is none a game can leave behind (" +
                  field.bound.text() + ")";
        }
    });
    return why;
}

std::string impossibleReading(int64_t previous, int64_t reading) {
    if (reading < previous) {
        return "goes back in time";
    }
    if (reading > kMaxReading) {
        return "goes past " + std::to_string(kMaxReading) + " ms, more than the game's clock holds";
    }
    return {};
}

std::string impossibleTicks(int64_t ticks) {
    if (ticks > kMaxTicks) {
        return std::to_string(ticks) + " ticks are more than a game runs (" +
               std::to_string(kMaxTicks) + ")";
    }
    return {};
}

std::string impossibleCounters(const std::array<int32_t, 9>& counters) {
    for (size_t i = 0; i < counters.size(); ++i) {
        if (!kCounterBounds[i].holds(counters[i])) {
            return named(kCounterNames[i], counters[i]) + " is none a game can end with (" +
                   kCounterBounds[i].text() + ")";
        }
    }
    return {};
}

std::string formatRecording(const Recording& r) {
    std::string text = kHeader + "\nprogram " + r.program + "\ncarried";
    const std::vector<std::string> names = carriedNames();
    for (size_t i = 0; i < names.size(); ++i) {
        text += ' ' + named(names[i].c_str(), r.carried.at(i));
    }
    text += '\n';
    for (const GameEvent& event : r.events) {
        text += formatEvent(event) + '\n';
    }
    for (size_t i = 0; i < r.readings.size(); ++i) {
        text += i % kReadingsPerLine == 0 ? (i == 0 ? "clock " : "\nclock ") : " ";
        text += std::to_string(i == 0 ? r.readings[0] : r.readings[i] - r.readings[i - 1]);
    }
    if (!r.readings.empty()) {
        text += '\n';
    }
    text += std::string("end ") + endName(r.end) + ' ' + std::to_string(r.ticks) + "\ncounters";
    for (size_t i = 0; i < kCounterNames.size(); ++i) {
        text += ' ' + named(kCounterNames[i], r.counters[i]);
    }
    return text + "\ntotal " + std::to_string(r.total) + '\n';
}

std::optional<Recording> parseRecording(const std::string& text, std::string& error) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    size_t at = 0; // the line being read, from 0
    const auto refuse = [&](const std::string& why) {
        error = "line " + std::to_string(std::min(at, lines.size()) + 1) + ": " + why;
        return std::nullopt;
    };
    // The words of the next line when it starts with `keyword`.
    const auto next = [&](const char* keyword) -> std::optional<std::vector<std::string>> {
        if (at < lines.size()) {
            std::vector<std::string> w = words(lines[at]);
            if (!w.empty() && w[0] == keyword) {
                return w;
            }
        }
        return std::nullopt;
    };

    if (text.empty()) {
        return refuse("empty, not a Spinmarsh recording");
    }
    if (lines[0] != kHeader) {
        return refuse(lines[0].rfind("spinmarsh-replay ", 0) == 0
                          ? "a recording of another version ('" + lines[0] +
                                "'); this program reads '" + kHeader + "'"
                          : "not a Spinmarsh recording");
    }
    if (text.back() != '\n') {
        at = lines.size() - 1;
        return refuse("cut short");
    }
    Recording r;
    ++at;
    const auto program = next("program");
    if (!program || program->size() != 2) {
        return refuse("expected 'program VERSION'");
    }
    r.program = (*program)[1];
    ++at;

    const auto carried = next("carried");
    const std::vector<std::string> names = carriedNames();
    if (!carried || carried->size() != names.size() + 1) {
        return refuse("expected 'carried' and the " + std::to_string(names.size()) +
                      " carried variables");
    }
    for (size_t i = 0; i < names.size(); ++i) {
        int32_t value = 0;
        if (!parseNamed((*carried)[i + 1], names[i].c_str(), value)) {
            return refuse("expected " + names[i] + "=NUMBER, not '" + (*carried)[i + 1] + "'");
        }
        r.carried.push_back(value);
    }
    if (std::string why = impossibleCarried(r.carried); !why.empty()) {
        return refuse(why);
    }
    ++at;

    for (; at < lines.size() && !next("clock") && !next("end"); ++at) {
        const auto event = parseEvent(words(lines[at]), error);
        if (!event) {
            return refuse(error);
        }
        if (event->kind != GameEvent::Kind::Close && !kKeyCode.holds(event->key)) {
            return refuse("key code " + std::to_string(static_cast<uint16_t>(event->key)) +
                          " is none the window hands over (" + kKeyCode.text() + ")");
        }
        if (!r.events.empty() && event->tick < r.events.back().tick) {
            return refuse("events out of order: tick goes backwards");
        }
        r.events.push_back(*event);
    }
    for (; next("clock"); ++at) {
        const auto w = *next("clock");
        for (size_t i = 1; i < w.size(); ++i) {
            int64_t value = 0;
            if (!parseNumber(w[i], value) || value < 0) {
                return refuse("bad clock reading '" + w[i] + "'");
            }
            // Added up only once each step is known not to overflow the sum.
            const int64_t previous = r.readings.empty() ? 0 : r.readings.back();
            const int64_t reading = previous + std::min(value, kMaxReading + 1);
            if (std::string why = impossibleReading(previous, reading); !why.empty()) {
                return refuse("the clock reading '" + w[i] + "' " + why);
            }
            r.readings.push_back(reading);
        }
    }

    const auto end = next("end");
    if (!end) {
        return refuse(at < lines.size() ? "expected 'end CAUSE TICKS'" : "cut short");
    }
    for (Form1::End e :
         {Form1::End::Escape, Form1::End::Life, Form1::End::Time, Form1::End::Close}) {
        if (end->size() == 3 && (*end)[1] == endName(e)) {
            r.end = e;
        }
    }
    if (r.end == Form1::End::None || !parseNumber((*end)[2], r.ticks) || r.ticks < 0) {
        return refuse("expected 'end CAUSE TICKS'");
    }
    if (std::string why = impossibleTicks(r.ticks); !why.empty()) {
        return refuse(why);
    }
    const size_t n = r.readings.size();
    if (n > static_cast<size_t>(r.ticks) + 1 ||
        (n == 0 ? r.ticks != 0 : n < static_cast<size_t>(r.ticks))) {
        return refuse(std::to_string(n) + " clock readings do not fit " + std::to_string(r.ticks) +
                      " ticks");
    }
    if (!r.events.empty() && r.events.back().tick > r.ticks + 1) {
        return refuse("an event comes after the game's end");
    }
    ++at;

    const auto counters = next("counters");
    if (!counters || counters->size() != kCounterNames.size() + 1) {
        return refuse(at < lines.size() ? "expected 'counters' and the nine counters"
                                        : "cut short");
    }
    for (size_t i = 0; i < kCounterNames.size(); ++i) {
        if (!parseNamed((*counters)[i + 1], kCounterNames[i], r.counters[i])) {
            return refuse(std::string("expected ") + kCounterNames[i] + "=NUMBER");
        }
    }
    if (std::string why = impossibleCounters(r.counters); !why.empty()) {
        return refuse(why);
    }
    ++at;

    const auto total = next("total");
    if (!total || total->size() != 2 || !parseNumber((*total)[1], r.total)) {
        return refuse(at < lines.size() ? "expected 'total NUMBER'" : "cut short");
    }
    if (r.total != totalOf(r.counters)) {
        return refuse("the total does not add up from the counters");
    }
    ++at;
    if (at != lines.size()) {
        return refuse("more after the total");
    }
    return r;
}

std::optional<Recording> loadRecording(const QString& path, std::string& error) {
    const std::string name = path.toStdString();
    const RegularFile file = readRegularFile(path, kMaxRecordingBytes);
    if (!file.ok()) {
        error = name + ": " + file.reason().toStdString();
        if (file.status == RegularFile::Status::TooLarge) {
            error += " for a recording (over " + std::to_string(kMaxRecordingBytes) + " bytes)";
        }
        return std::nullopt;
    }
    auto recording = parseRecording(file.bytes.toStdString(), error);
    if (!recording) {
        error = name + ": " + error;
    }
    return recording;
}
