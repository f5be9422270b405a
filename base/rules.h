// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The game's rules as numbers, each written once. The play core plays by
// them; the window, the pictures, the simulator and the benchmarks read them
// from here rather than keeping their own copies. No dependencies, so any
// layer may include it.
namespace rules {

// The field: 600 x 400 pixels with a 30-px strip of earth on every side,
// whose inner edge is the wall line the balls bounce off.
inline constexpr int kFieldWidth = 600;
inline constexpr int kFieldHeight = 400;
inline constexpr int kMargin = 30;
inline constexpr int kBallSize = 32;
inline constexpr int kGunmanSize = 25;
inline constexpr int kShotSize = 10;

// The countdown: Timer2 fires every 800 ms from the moment the window exists.
// The banner shows at its second event; at the third the banner goes, the
// game waits 500 ms and play starts.
inline constexpr int kCountdownPeriodMs = 800;
inline constexpr int32_t kBannerEvent = 2;
inline constexpr int32_t kStartEvent = 3;
inline constexpr int kStartWaitMs = 500;
// Seconds from the window's creation to the start of play.
inline constexpr double kPlayStartSeconds =
    (kStartEvent * kCountdownPeriodMs + kStartWaitMs) / 1000.0;

// The tick: one step of the game, 64 times a second, paced against the
// monotonic clock.
inline constexpr int kTicksPerSecond = 64;
inline constexpr double kTickPeriodMs = 1000.0 / kTicksPerSecond;

// A game: five lives, two minutes.
inline constexpr int32_t kLives = 5;
inline constexpr int32_t kTimeLimit = 120;

// Speed caps in each ball's own units (1/100 px per tick for the player,
// 1/50 px for the enemy). A hit doubles a cap, which then falls back by
// kCapDecay a tick.
inline constexpr int32_t kBallBaseMax = 1800;
inline constexpr int32_t kEnemyBaseMax = 800;
inline constexpr int32_t kCapDecay = 200;

// Pushes on the balls, in each ball's own units: an arrow key held for a
// tick, the enemy's pull towards the player each tick, a shot's hit.
inline constexpr int32_t kKeyAcceleration = 500;
inline constexpr int32_t kEnemyAcceleration = 100;
inline constexpr int32_t kKnockBack = 10000;

// The shots: fired from the gunman's edge (y 25 falling, x 25 flying right),
// kShotOffset px along the ball's row or column, kShotStep px a tick; a shot
// is retired once past its limit, after being drawn there.
inline constexpr int32_t kShotStart = 25;
inline constexpr int32_t kShotOffset = 8;
inline constexpr int32_t kShotStep = 10;
inline constexpr int32_t kShot1Retire = 410;
inline constexpr int32_t kShot2Retire = 610;

} // namespace rules
