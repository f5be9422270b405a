// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/key_codes.h"
#include "base/rules.h"
#include "headless/play_driver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

// How much a tick costs, and a whole game, headless: the same code the window
// runs, drawing included, on the simulated clock. Against them stands the
// floor: the very rectangles a whole game draws on the field, copied with
// plain memcpy.
namespace {

struct Game : HeadlessGame {
    // Set only while the floor's rectangles are taken down, never while timed.
    std::function<void(const QRect&)> onDraw;

    void start() {
        clock.time = 0;
        drive.load();
        form.MainPic.changed = onDraw;
        drive.countdown();
        int16_t right = key::kRight, down = key::kDown;
        form.Form_KeyDown(right, 0);
        form.Form_KeyDown(down, 0);
    }

    // Lives are topped up so every game runs to its time limit, collisions
    // and all.
    bool tick() {
        form.life = 5;
        drive.tick();
        return drive.playing();
    }
};

void Tick(benchmark::State& state) {
    Game game;
    game.start();
    for (auto _ : state) {
        if (!game.tick()) {
            game.start();
        }
    }
}
// With repetitions, the fastest one: the least disturbed by whatever else
// the machine is doing.
double fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

BENCHMARK(Tick)->ComputeStatistics("min", fastest);

void FullGame(benchmark::State& state) {
    Game game;
    int64_t ticks = 0;
    for (auto _ : state) {
        game.start();
        while (game.tick()) {
        }
        ticks = game.drive.ticks();
    }
    state.counters["ticks"] = static_cast<double>(ticks);
}
BENCHMARK(FullGame)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

// Every rectangle one whole game changes on the field, start included, as
// clipped by the copies themselves.
struct Recorded {
    std::vector<QRect> rects;
    int64_t ticks = 0;
};

const Recorded& recordedGame() {
    static const Recorded recorded = [] {
        Recorded r;
        Game game;
        game.onDraw = [&r](const QRect& rect) { r.rects.push_back(rect); };
        game.start();
        while (game.tick()) {
        }
        r.ticks = game.drive.ticks();
        return r;
    }();
    return recorded;
}

// The floor: the same rows of the same rectangles copied between two
// field-sized pictures with memcpy, one call per row as the copies make.
void MemcpyFloor(benchmark::State& state) {
    const Recorded& game = recordedGame();
    constexpr std::size_t kWidth = rules::kFieldWidth, kHeight = rules::kFieldHeight;
    std::vector<uint32_t> from(kWidth * kHeight, 0xFFC0FFEEu), to(kWidth * kHeight);
    int64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const QRect& r : game.rects) {
            const auto rowBytes = static_cast<size_t>(r.width()) * sizeof(uint32_t);
            for (int y = r.top(); y <= r.bottom(); ++y) {
                const size_t at = static_cast<size_t>(y) * kWidth + static_cast<size_t>(r.left());
                std::memcpy(to.data() + at, from.data() + at, rowBytes);
            }
            bytes += static_cast<int64_t>(rowBytes) * r.height();
        }
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.counters["ticks"] = static_cast<double>(game.ticks);
    state.counters["copies/tick"] =
        static_cast<double>(game.rects.size()) / static_cast<double>(game.ticks);
    state.counters["KiB/tick"] =
        static_cast<double>(bytes) / 1024.0 / static_cast<double>(game.ticks);
}
BENCHMARK(MemcpyFloor)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

// Prints the table as usual, keeping the fastest run of each benchmark for
// the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    struct Best {
        double cpu = std::numeric_limits<double>::infinity();
        double real = std::numeric_limits<double>::infinity();
    };
    std::map<std::string, Best> best; // seconds per iteration

    // Colours only on a terminal, so the script can read the output.
    SummaryReporter()
        : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool fastest = run.run_type == Run::RT_Iteration || run.aggregate_name == "min";
            if (!fastest || run.error_occurred || run.iterations == 0) {
                continue;
            }
            const auto n = static_cast<double>(run.iterations);
            Best& b = best[run.run_name.function_name];
            b.cpu = std::min(b.cpu, run.cpu_accumulated_time / n);
            b.real = std::min(b.real, run.real_accumulated_time / n);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto game = reporter.best.find("FullGame");
    const auto floor = reporter.best.find("MemcpyFloor");
    if (game == reporter.best.end() || floor == reporter.best.end()) {
        return 0;
    }
    const double ticks = static_cast<double>(recordedGame().ticks);
    std::printf("\nfull game (%.0f ticks), fastest run: %.1f ms CPU, %.1f ms real "
                "(goal: under 50 ms)\n",
                ticks, game->second.cpu * 1e3, game->second.real * 1e3);
    std::printf("memcpy floor of the same copies: %.1f ms CPU (%.2f us per tick)\n",
                floor->second.cpu * 1e3, floor->second.cpu * 1e6 / ticks);
    std::printf("full game / memcpy floor: %.2fx CPU, %.2fx real (goal: within 3x)\n",
                game->second.cpu / floor->second.cpu, game->second.real / floor->second.real);
    return 0;
}
