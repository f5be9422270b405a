// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/form1.h"

#include "base/numbers.h"
#include "base/rules.h"

// Puts a ball that crossed a wall line back on the line, reverses its
// velocity on that axis and counts the bounce. The field's size is read
// afresh each time.
void Form1::holdInside(int32_t& x, int32_t& y, int32_t& vx, int32_t& vy, int32_t& bounces) const {
    if (x < rules::kMargin) {
        x = rules::kMargin;
        vx = neg(vx);
        bounces = add(bounces, 1);
    } else if (x > static_cast<double>(ScaleWidth() - rules::kBallSize - rules::kMargin)) {
        x = cint(static_cast<double>(ScaleWidth() - rules::kBallSize - rules::kMargin));
        vx = neg(vx);
        bounces = add(bounces, 1);
    }
    if (y < rules::kMargin) {
        y = rules::kMargin;
        vy = neg(vy);
        bounces = add(bounces, 1);
    } else if (y > static_cast<double>(ScaleHeight() - rules::kBallSize - rules::kMargin)) {
        y = cint(static_cast<double>(ScaleHeight() - rules::kBallSize - rules::kMargin));
        vy = neg(vy);
        bounces = add(bounces, 1);
    }
}
