// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/rules.h"
#include "play/game_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>

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

// What the play screen's load does with a field.
enum class Fate {
    Reset,   // sets it to `reset`
    Placed,  // sets it from the field's size
    Carried, // leaves it as the game before left it: a recording holds it
};

// One field of the game state: its name in the game, what the load does with
// it, whether the simulator prints it after each tick, and for a carried
// field the values a game can leave behind in it.
struct GameField {
    const char* name;
    std::variant<int32_t GameState::*, int16_t GameState::*> member;
    Fate fate;
    bool printed;
    int32_t reset = 0;
    Bound bound{0, 0};

    int32_t get(const GameState& state) const {
        return std::visit([&state](auto m) -> int32_t { return state.*m; }, member);
    }
    void set(GameState& state, int32_t value) const {
        std::visit(
            [&state, value](auto m) {
                state.*m = static_cast<std::remove_reference_t<decltype(state.*m)>>(value);
            },
            member);
    }
};

namespace game_fields {

using namespace rules;

// Where DrawBoul and DrawBoul2 hold a ball: on or inside the wall lines.
inline constexpr int32_t kRightWall = kFieldWidth - kMargin - kBallSize;
inline constexpr int32_t kBottomWall = kFieldHeight - kMargin - kBallSize;
inline constexpr Bound kBallX{kMargin, kRightWall, 1, true};
inline constexpr Bound kBallY{kMargin, kBottomWall, 1, true};

// A shot starts kShotOffset px along the ball as held inside, and moves
// kShotStep a tick from kShotStart to the first place past its limit, where
// it is drawn once more and retired.
constexpr int32_t pastLimit(int32_t limit) {
    return kShotStart + ((limit - kShotStart) / kShotStep + 1) * kShotStep;
}
inline constexpr Bound kShotAlongX{kMargin + kShotOffset, kRightWall + kShotOffset, 1, true};
inline constexpr Bound kShotAlongY{kMargin + kShotOffset, kBottomWall + kShotOffset, 1, true};
inline constexpr Bound kShot1Y{kShotStart, pastLimit(kShot1Retire), kShotStep, true};
inline constexpr Bound kShot2X{kShotStart, pastLimit(kShot2Retire), kShotStep, true};

// The enemy's velocity leaves a tick within its raised cap; a collision then
// gives it the difference of the two balls' velocities, each within its
// raised cap, and a shot may knock it on by kKnockBack: -5200..15200. A game
// that ends before its first tick keeps any knock-back its start of play
// gave on top of what it began with, game after game, as no cap holds it
// until the next tick. So upwards only overflow bounds it: the next game
// must still be able to add one more knock-back and one tick's pull.
inline constexpr Bound kEnemyVelocity{-2 * int64_t{kBallBaseMax + kEnemyBaseMax},
                                      INT32_MAX - kKnockBack - kEnemyAcceleration};

constexpr GameField reset(const char* name, auto member, bool printed, int32_t value = 0) {
    return {name, member, Fate::Reset, printed, value};
}
constexpr GameField carried(const char* name, auto member, bool printed, Bound bound) {
    return {name, member, Fate::Carried, printed, 0, bound};
}

inline constexpr bool kPrinted = true;

// Every field of the game state. The printed fields print in this order, and
// a recording's carried line holds the carried fields in this order.
inline constexpr std::array kAll = {
    carried("KeyX", &GameState::KeyX, false, Bound{2, 4, 2, true}), // 2 right, 4 left
    carried("KeyY", &GameState::KeyY, false, Bound{1, 3, 2, true}), // 1 up, 3 down
    GameField{"BoulX", &GameState::BoulX, Fate::Placed, kPrinted},
    GameField{"BoulY", &GameState::BoulY, Fate::Placed, kPrinted},
    reset("BoulVX", &GameState::BoulVX, kPrinted),
    reset("BoulVY", &GameState::BoulVY, kPrinted),
    carried("BoulOldX", &GameState::BoulOldX, false, kBallX),
    carried("BoulOldY", &GameState::BoulOldY, false, kBallY),
    reset("BoulMax", &GameState::BoulMax, kPrinted, kBallBaseMax),
    reset("BoulBaseMax", &GameState::BoulBaseMax, false, kBallBaseMax),
    carried("Boul2X", &GameState::Boul2X, kPrinted, kBallX),
    carried("Boul2Y", &GameState::Boul2Y, kPrinted, kBallY),
    carried("Boul2VX", &GameState::Boul2VX, kPrinted, kEnemyVelocity),
    carried("Boul2VY", &GameState::Boul2VY, kPrinted, kEnemyVelocity),
    carried("Boul2OldX", &GameState::Boul2OldX, false, kBallX),
    carried("Boul2OldY", &GameState::Boul2OldY, false, kBallY),
    reset("Boul2Max", &GameState::Boul2Max, kPrinted, kEnemyBaseMax),
    reset("Boul2BaseMax", &GameState::Boul2BaseMax, false, kEnemyBaseMax),
    carried("Shot1X", &GameState::Shot1X, kPrinted, kShotAlongX),
    carried("Shot1Y", &GameState::Shot1Y, kPrinted, kShot1Y),
    carried("Shot1OldX", &GameState::Shot1OldX, false, kShotAlongX),
    carried("Shot1OldY", &GameState::Shot1OldY, false, kShot1Y),
    reset("Shot1On", &GameState::Shot1On, kPrinted),
    carried("Shot2X", &GameState::Shot2X, kPrinted, kShot2X),
    carried("Shot2Y", &GameState::Shot2Y, kPrinted, kShotAlongY),
    carried("Shot2OldX", &GameState::Shot2OldX, false, kShot2X),
    carried("Shot2OldY", &GameState::Shot2OldY, false, kShotAlongY),
    carried("Shot2On", &GameState::Shot2On, kPrinted, Bound{-1, 0}),
    reset("kabe", &GameState::kabe, kPrinted),
    reset("kabe2", &GameState::kabe2, kPrinted),
    reset("life", &GameState::life, kPrinted, kLives),
    reset("Time", &GameState::Time, kPrinted),
    reset("HitGan", &GameState::HitGan, kPrinted),
    reset("HitGan2", &GameState::HitGan2, kPrinted),
    reset("Moves", &GameState::Moves, kPrinted),
    reset("GanGan", &GameState::GanGan, kPrinted),
    reset("spe", &GameState::spe, kPrinted),
    reset("KeyXOn", &GameState::KeyXOn, false),
    reset("KeyYOn", &GameState::KeyYOn, false),
    // The clock in whole seconds, as the start of play took it.
    carried("StartTime", &GameState::StartTime, false, Bound{0, INT32_MAX}),
    reset("Countdown", &GameState::Countdown, false),
};

// A new field of the game state does not build until its line is above: the
// table names each field once, and there are as many lines as fields.
struct AnyValue {
    template <typename T> constexpr operator T() const { return T{}; }
};
template <typename T, typename... Values> constexpr std::size_t fieldCount() {
    if constexpr (requires { T{Values{}..., AnyValue{}}; }) {
        return fieldCount<T, Values..., AnyValue>();
    } else {
        return sizeof...(Values);
    }
}
constexpr bool eachOnce() {
    for (std::size_t i = 0; i < kAll.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (kAll[i].member == kAll[j].member) {
                return false;
            }
        }
    }
    return true;
}
static_assert(fieldCount<GameState>() == kAll.size() && eachOnce(),
              "every field of GameState needs exactly one line in game_fields::kAll");

} // namespace game_fields

// Calls f(field) for each field of the given fate, in the table's order.
template <typename F> void forEachField(Fate fate, F f) {
    for (const GameField& field : game_fields::kAll) {
        if (field.fate == fate) {
            f(field);
        }
    }
}
