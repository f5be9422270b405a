// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/rect.h"

#include <algorithm>

bool IntersectRect(RECT& out, const RECT& a, const RECT& b) {
    const RECT overlap{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                       std::min(a.bottom, b.bottom)};
    if (overlap.left >= overlap.right || overlap.top >= overlap.bottom) {
        out = RECT{};
        return false;
    }
    out = overlap;
    return true;
}
