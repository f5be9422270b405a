// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/replay.h"
#include "tools/simulator.h"
#include "tools/soak.h"

#include <QImage>

#include <cstdio>
#include <iostream>
#include <iterator>

namespace {
class PrintLines : public SimObserver {
  public:
    explicit PrintLines(const Recording* recording) : m_recording(recording) {}

    void line(const std::string& json) override {
        std::fwrite(json.data(), 1, json.size(), stdout);
        std::fputc('\n', stdout);
    }
    void ended(int, int64_t ticks, const Form1& form, int, int) override {
        field = form.MainPic.image();
        if (m_recording != nullptr) {
            difference = firstDifference(*m_recording, form, ticks);
        }
    }

    QImage field;           // the play field after the last game's last tick
    std::string difference; // where a recording did not play as recorded

  private:
    const Recording* m_recording;
};
} // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "spinmarsh-sim: " << error << '\n';
        return 2;
    }
    if (options->soakGames) {
        return runSoak(*options->soakGames, options->seed, std::cout, std::cerr);
    }
    std::optional<Recording> recording;
    std::optional<SimScript> script;
    if (!options->replay.empty()) {
        recording = loadRecording(QString::fromStdString(options->replay), error);
        if (recording) {
            script = SimScript{{SimGame{{}, {}, &*recording}}};
        }
    } else {
        const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
        script = parseScript(text, error);
    }
    if (!script) {
        std::cerr << "spinmarsh-sim: " << error << '\n';
        return 2;
    }
    PrintLines out(recording ? &*recording : nullptr);
    runScript(*script, *options, out);
    std::fflush(stdout);
    if (!options->field.empty() && !out.field.save(QString::fromStdString(options->field), "PNG")) {
        std::cerr << "spinmarsh-sim: cannot write " << options->field << '\n';
        return 1;
    }
    if (!out.difference.empty()) {
        std::cerr << "spinmarsh-sim: " << options->replay
                  << ": the game does not play as recorded: " << out.difference << '\n';
        return 3;
    }
    return 0;
}
