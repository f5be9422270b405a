// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/event_line.h"

#include "base/key_codes.h"

#include <sstream>
#include <utility>

namespace {

// The keys a script or a recording may name; any other is written as its code.
constexpr std::pair<const char*, int16_t> kKeyNames[] = {
    {"Left", key::kLeft}, {"Up", key::kUp},         {"Right", key::kRight},
    {"Down", key::kDown}, {"Escape", key::kEscape}, {"Enter", key::kEnter}};

bool parseKey(const std::string& text, int16_t& key) {
    for (const auto& [name, code] : kKeyNames) {
        if (text == name) {
            key = code;
            return true;
        }
    }
    unsigned value = 0;
    if (!parseNumber(text, value) || value > 65535) {
        return false;
    }
    // Key codes are 16-bit signed in the game, as the platform hands them over.
    key = static_cast<int16_t>(static_cast<uint16_t>(value));
    return true;
}

const char* keyName(int16_t key) {
    for (const auto& [name, code] : kKeyNames) {
        if (code == key) {
            return name;
        }
    }
    return nullptr;
}

} // namespace

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) {
        result.push_back(word);
    }
    return result;
}

std::optional<GameEvent> parseEvent(const std::vector<std::string>& w, std::string& error) {
    GameEvent event;
    if (w.empty() || w[0][0] == '-' || !parseNumber(w[0], event.tick)) {
        error = "unknown command or bad tick '" + (w.empty() ? std::string() : w[0]) + "'";
        return std::nullopt;
    }
    if (w.size() == 2 && w[1] == "close") {
        event.kind = GameEvent::Kind::Close;
    } else if (w.size() == 3 && (w[1] == "down" || w[1] == "up")) {
        event.kind = w[1] == "down" ? GameEvent::Kind::Down : GameEvent::Kind::Up;
        if (!parseKey(w[2], event.key)) {
            error = "bad key '" + w[2] + "'";
            return std::nullopt;
        }
    } else {
        error = "expected 'T down KEY', 'T up KEY' or 'T close'";
        return std::nullopt;
    }
    return event;
}

std::string formatEvent(const GameEvent& event) {
    std::string text = std::to_string(event.tick);
    if (event.kind == GameEvent::Kind::Close) {
        return text + " close";
    }
    text += event.kind == GameEvent::Kind::Down ? " down " : " up ";
    const char* name = keyName(event.key);
    return text + (name ? std::string(name)
                        : std::to_string(static_cast<uint16_t>(event.key))); // back to 0..65535
}
