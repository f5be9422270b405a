// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// A rectangle in pixels; right and bottom are exclusive.
struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const RECT&) const = default;
};

// Stores the overlap of a and b in out and returns whether it is non-empty;
// an empty overlap is stored as (0, 0, 0, 0).
bool IntersectRect(RECT& out, const RECT& a, const RECT& b);
