// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/replay.h"

#include "base/key_codes.h"
#include "base/project.h"
#include "base/rules.h"
#include "play/tally.h"

#include <QFile>

#include <charconv>
#include <cmath>
#include <sstream>

namespace {

// Changes whenever a recording could play differently: the format, or the
// game's rules.
const std::string kHeader = "spinmarsh-replay 1";
constexpr size_t kReadingsPerLine = 32;
// A recording's clock beyond its readings: one tick, in the recording's whole
// milliseconds.
constexpr auto kTickMilliseconds = static_cast<int64_t>(rules::kTickPeriodMs + 0.5);
static_assert(kTickMilliseconds == 16);

// What a value can be: low..high in steps of `step`, or 0 as well when
// `unset`: the first game of a run finds what no game has set yet still 0,
// and a key direction is 0 while none is held.
struct Bound {
    int64_t low;
    int64_t high;
    int64_t step = 1;
    bool unset = false;

    bool holds(int64_t value) const {
        return (unset && value == 0) ||
               (value >= low && value <= high && (value - low) % step == 0);
    }
    std::string text() const {
        std::string text = std::to_string(low) + ".." + std::to_string(high);
        if (step != 1) {
            text += " in steps of " + std::to_string(step);
        }
        return unset ? text + ", or 0" : text;
    }
};

using namespace rules;

// Where DrawBoul and DrawBoul2 hold a ball: on or inside the wall lines.
constexpr int32_t kRightWall = kFieldWidth - kMargin - kBallSize;
constexpr int32_t kBottomWall = kFieldHeight - kMargin - kBallSize;
constexpr Bound kBallX{kMargin, kRightWall, 1, true};
constexpr Bound kBallY{kMargin, kBottomWall, 1, true};

// A shot starts kShotOffset px along the ball as held inside, and moves
// kShotStep a tick from kShotStart to the first place past its limit, where
// it is drawn once more and retired.
constexpr int32_t pastLimit(int32_t limit) {
    return kShotStart + ((limit - kShotStart) / kShotStep + 1) * kShotStep;
}
constexpr Bound kShotAlongX{kMargin + kShotOffset, kRightWall + kShotOffset, 1, true};
constexpr Bound kShotAlongY{kMargin + kShotOffset, kBottomWall + kShotOffset, 1, true};
constexpr Bound kShot1Y{kShotStart, pastLimit(kShot1Retire), kShotStep, true};
constexpr Bound kShot2X{kShotStart, pastLimit(kShot2Retire), kShotStep, true};

// The enemy's velocity leaves a tick within its raised cap; a collision then
// gives it the difference of the two balls' velocities, each within its
// raised cap, and a shot may knock it on by kKnockBack: -5200..15200. A game
// that ends before its first tick keeps any knock-back its start of play
// gave on top of what it began with, game after game, as no cap holds it
// until the next tick. So upwards only overflow bounds it: the next game
// must still be able to add one more knock-back and one tick's pull.
constexpr Bound kEnemyVelocity{-2 * int64_t{kBallBaseMax + kEnemyBaseMax},
                               INT32_MAX - kKnockBack - kEnemyAcceleration};

// Calls f(name, variable, bound) for every variable the load leaves alone,
// with the values a game can leave behind in it.
template <typename State, typename F> void forEachCarried(State& s, F f) {
    f("KeyX", s.KeyX, Bound{2, 4, 2, true}); // 2 right, 4 left
    f("KeyY", s.KeyY, Bound{1, 3, 2, true}); // 1 up, 3 down
    f("BoulOldX", s.BoulOldX, kBallX);
    f("BoulOldY", s.BoulOldY, kBallY);
    f("Boul2X", s.Boul2X, kBallX);
    f("Boul2Y", s.Boul2Y, kBallY);
    f("Boul2VX", s.Boul2VX, kEnemyVelocity);
    f("Boul2VY", s.Boul2VY, kEnemyVelocity);
    f("Boul2OldX", s.Boul2OldX, kBallX);
    f("Boul2OldY", s.Boul2OldY, kBallY);
    f("Shot1X", s.Shot1X, kShotAlongX);
    f("Shot1Y", s.Shot1Y, kShot1Y);
    f("Shot1OldX", s.Shot1OldX, kShotAlongX);
    f("Shot1OldY", s.Shot1OldY, kShot1Y);
    f("Shot2X", s.Shot2X, kShot2X);
    f("Shot2Y", s.Shot2Y, kShotAlongY);
    f("Shot2OldX", s.Shot2OldX, kShot2X);
    f("Shot2OldY", s.Shot2OldY, kShotAlongY);
    f("Shot2On", s.Shot2On, Bound{-1, 0});
    // The clock in whole seconds, as the start of play took it.
    f("StartTime", s.StartTime, Bound{0, kMaxReading / 1000});
}

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

template <typename T> bool parseNumber(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// The keys a script or a recording may name; any other is written as its code.
constexpr std::pair<const char*, int16_t> kKeyNames[] = {
    {"Left", key::kLeft}, {"Up", key::kUp},         {"Right", key::kRight},
    {"Down", key::kDown}, {"Escape", key::kEscape}, {"Enter", key::kEnter}};

bool parseKey(const std::string& text, int16_t& key) {
    for (const auto& [name, code] : kKeyNames) {
        if (text == name) {
            key = code;
            return true;
        }
    }
    unsigned value = 0;
    if (!parseNumber(text, value) || value > 65535) {
        return false;
    }
    // Key codes are 16-bit signed in the game, as the platform hands them over.
    key = static_cast<int16_t>(static_cast<uint16_t>(value));
    return true;
}

const char* keyName(int16_t key) {
    for (const auto& [name, code] : kKeyNames) {
        if (code == key) {
            return name;
        }
    }
    return nullptr;
}

// "name=value" with exactly this name.
bool parseNamed(const std::string& word, const char* name, int32_t& value) {
    const std::string prefix = std::string(name) + '=';
    return word.rfind(prefix, 0) == 0 && parseNumber(word.substr(prefix.size()), value);
}

std::string named(const char* name, int32_t value) {
    return std::string(name) + '=' + std::to_string(value);
}

int32_t totalOf(const std::array<int32_t, 9>& counters) {
    return tally(counters, kPointCaptions).Score;
}

} // namespace

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) {
        result.push_back(word);
    }
    return result;
}

std::optional<GameEvent> parseEvent(const std::vector<std::string>& w, std::string& error) {
    GameEvent event;
    if (w.empty() || w[0][0] == '-' || !parseNumber(w[0], event.tick)) {
        error = "unknown command or bad tick '" + (w.empty() ? std::string() : w[0]) + "'";
        return std::nullopt;
    }
    if (w.size() == 2 && w[1] == "close") {
        event.kind = GameEvent::Kind::Close;
    } else if (w.size() == 3 && (w[1] == "down" || w[1] == "up")) {
        event.kind = w[1] == "down" ? GameEvent::Kind::Down : GameEvent::Kind::Up;
        if (!parseKey(w[2], event.key)) {
            error = "bad key '" + w[2] + "'";
            return std::nullopt;
        }
    } else {
        error = "expected 'T down KEY', 'T up KEY' or 'T close'";
        return std::nullopt;
    }
    return event;
}

std::string formatEvent(const GameEvent& event) {
    std::string text = std::to_string(event.tick);
    if (event.kind == GameEvent::Kind::Close) {
        return text + " close";
    }
    text += event.kind == GameEvent::Kind::Down ? " down " : " up ";
    const char* name = keyName(event.key);
    return text + (name ? std::string(name)
                        : std::to_string(static_cast<uint16_t>(event.key))); // back to 0..65535
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
    const GameState state;
    forEachCarried(
        state, [&names](const char* name, const auto&, const Bound&) { names.emplace_back(name); });
    return names;
}

std::vector<int32_t> carriedState(const GameState& game) {
    std::vector<int32_t> values;
    forEachCarried(
        game, [&values](const char*, const auto& value, const Bound&) { values.push_back(value); });
    return values;
}

void setCarriedState(GameState& game, const std::vector<int32_t>& values) {
    size_t i = 0;
    forEachCarried(game, [&](const char*, auto& variable, const Bound&) {
        variable = static_cast<std::remove_reference_t<decltype(variable)>>(values.at(i++));
    });
}

std::string impossibleCarried(const std::vector<int32_t>& carried) {
    std::string why;
    size_t i = 0;
    const GameState state;
    forEachCarried(state, [&](const char* name, const auto&, const Bound& bound) {
        const int32_t value = carried.at(i++);
        if (why.empty() && !bound.holds(value)) {
            why = named(name, value) + " is none a game can leave behind (" + bound.text() + ")";
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = name + ": cannot be read: " + file.errorString().toStdString();
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxRecordingBytes + 1);
    if (bytes.size() > kMaxRecordingBytes) {
        error = name + ": too large for a recording (over " + std::to_string(kMaxRecordingBytes) +
                " bytes)";
        return std::nullopt;
    }
    auto recording = parseRecording(bytes.toStdString(), error);
    if (!recording) {
        error = name + ": " + error;
    }
    return recording;
}

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
