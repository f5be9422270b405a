// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The key codes every screen's key handlers see: the platform's virtual-key
// codes, as the window hands them over.
namespace key {

inline constexpr int16_t kBackspace = 8;
inline constexpr int16_t kTab = 9;
inline constexpr int16_t kEnter = 13;
inline constexpr int16_t kShift = 16;
inline constexpr int16_t kControl = 17;
inline constexpr int16_t kAlt = 18;
inline constexpr int16_t kEscape = 27;
inline constexpr int16_t kSpace = 32;
inline constexpr int16_t kLeft = 37;
inline constexpr int16_t kUp = 38;
inline constexpr int16_t kRight = 39;
inline constexpr int16_t kDown = 40;
inline constexpr int16_t kP = 80;
// Digits and letters are their ASCII capitals; F1 to F12 follow from here.
inline constexpr int16_t kF1 = 112;

} // namespace key
