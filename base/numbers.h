// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// Whole numbers the way the game makes them: the nearest integer, a half going
// to the even neighbour (316.5 -> 316, 317.5 -> 318, -2.5 -> -2). Game-state
// arithmetic is 32-bit and checked: leaving the range stops the program with
// a message rather than playing on with a wrapped value.

int32_t cint(double value);
int16_t cint16(double value);

int32_t add(int32_t a, int32_t b);
int32_t sub(int32_t a, int32_t b);
int32_t mul(int32_t a, int32_t b);
int32_t neg(int32_t a);

[[noreturn]] void overflowStop();
