// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// Everything about the game in progress. One record per run, all zero at
// program start; it outlives the play screen's window so the score screen can
// read the counters after a game, and the load handler resets only part of it
// (the enemy's velocity and the rightward shot carry over into the next game).
struct GameState {
    // The nine counters the score screen reads.
    int32_t kabe = 0;    // player ball bounces off the walls
    int32_t kabe2 = 0;   // enemy ball bounces off the walls
    int32_t life = 0;    // lives left
    int32_t Time = 0;    // whole seconds of play
    int32_t HitGan = 0;  // shots that hit the player ball
    int32_t HitGan2 = 0; // shots that hit the enemy ball
    int32_t Moves = 0;   // ticks per axis at exactly the base speed cap
    int32_t GanGan = 0;  // shot-on-shot collisions
    int32_t spe = 0;     // 1 when the game lasted to the time limit

    // Player ball: pixels, velocity in 1/100 px per tick.
    int32_t BoulX = 0, BoulY = 0;
    int32_t BoulVX = 0, BoulVY = 0;
    int32_t BoulOldX = 0, BoulOldY = 0;
    int32_t BoulMax = 0, BoulBaseMax = 0;

    // Keyboard: direction codes 1 up, 2 right, 3 down, 4 left.
    int16_t KeyX = 0, KeyY = 0;
    int16_t KeyXOn = 0, KeyYOn = 0;

    // Enemy ball: pixels, velocity in 1/50 px per tick.
    int32_t Boul2X = 0, Boul2Y = 0;
    int32_t Boul2VX = 0, Boul2VY = 0;
    int32_t Boul2OldX = 0, Boul2OldY = 0;
    int32_t Boul2Max = 0, Boul2BaseMax = 0;

    // Shots: the top gunman's falls, the left gunman's flies right. A flag is
    // -1 while its shot is in flight, else 0.
    int32_t Shot1X = 0, Shot1Y = 0, Shot1OldX = 0, Shot1OldY = 0;
    int16_t Shot1On = 0;
    int32_t Shot2X = 0, Shot2Y = 0, Shot2OldX = 0, Shot2OldY = 0;
    int16_t Shot2On = 0;

    int32_t StartTime = 0; // clock at the start of play, whole seconds
    int32_t Countdown = 0; // countdown events since the screen loaded
};
