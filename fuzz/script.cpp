// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A simulator script as anyone may write one: read, and when it is accepted,
// written back, which must read as the same script, and played as
// spinmarsh-sim plays it: its first two games, enough for what one leaves
// the next, and few enough to keep the fuzzer quick.

#include "tools/simulator.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
class Quiet : public SimObserver {
  public:
    void line(const std::string&) override {}
    bool wantsLines() const override { return false; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto script = parseScript(std::string(reinterpret_cast<const char*>(data), size), error);
    if (script) {
        const std::string text = formatScript(*script);
        const auto again = parseScript(text, error);
        if (!again || formatScript(*again) != text) {
            std::abort();
        }
        SimScript firstGames = *script;
        firstGames.games.resize(std::min<size_t>(firstGames.games.size(), 2));
        Quiet quiet;
        runScript(firstGames, SimOptions{}, quiet);
    }
    return 0;
}
