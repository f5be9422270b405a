// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "play/form1.h"

#include <charconv>
#include <optional>
#include <string>
#include <vector>

// The lines scripts and recordings share: one key event each.

// The words of a line, split at white space.
std::vector<std::string> words(const std::string& line);

// A whole word as a number, nothing before or after it.
template <typename T> bool parseNumber(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// One event line, "T down KEY", "T up KEY" or "T close", as scripts and
// recordings write it. Parsing returns nothing and sets error on a bad line.
std::optional<GameEvent> parseEvent(const std::vector<std::string>& words, std::string& error);
std::string formatEvent(const GameEvent& event);
