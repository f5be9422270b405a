// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {
template <typename T> T roundChecked(double value) {
    // nearbyint follows the default rounding mode, which is to nearest, ties
    // to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max())) {
        overflowStop();
    }
    return static_cast<T>(rounded);
}
} // namespace

int32_t cint(double value) {
    return roundChecked<int32_t>(value);
}
int16_t cint16(double value) {
    return roundChecked<int16_t>(value);
}

int32_t add(int32_t a, int32_t b) {
    int32_t r = 0;
    if (__builtin_add_overflow(a, b, &r)) {
        overflowStop();
    }
    return r;
}

int32_t sub(int32_t a, int32_t b) {
    int32_t r = 0;
    if (__builtin_sub_overflow(a, b, &r)) {
        overflowStop();
    }
    return r;
}

int32_t mul(int32_t a, int32_t b) {
    int32_t r = 0;
    if (__builtin_mul_overflow(a, b, &r)) {
        overflowStop();
    }
    return r;
}

int32_t neg(int32_t a) {
    return sub(0, a);
}

void overflowStop() {
    std::fputs("Spinmarsh: run-time error: overflow\n", stderr);
    std::exit(70);
}
