// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A recording from a stranger, as spinmarsh-sim --replay takes it: read, and
// when it is accepted, played headless to its end and held to its record.

#include "play/recording.h"
#include "play/replay.h"
#include "tools/simulator.h"

#include <cstdint>
#include <string>

namespace {
class Played : public SimObserver {
  public:
    explicit Played(const Recording& recording) : m_recording(recording) {}
    void line(const std::string&) override {}
    bool wantsLines() const override { return false; }
    void ended(int, int64_t ticks, const Form1& form, int, int) override {
        difference = firstDifference(m_recording, form, ticks);
    }
    std::string difference;

  private:
    const Recording& m_recording;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A larger file is refused before it is read.
    if (size > static_cast<size_t>(kMaxRecordingBytes)) {
        return 0;
    }
    std::string error;
    const auto recording =
        parseRecording(std::string(reinterpret_cast<const char*>(data), size), error);
    if (recording) {
        Played played(*recording);
        runScript(SimScript{{SimGame{{}, {}, &*recording}}}, SimOptions{}, played);
    }
    return 0;
}
