#include "play/form1.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

// How much a tick costs, and a whole game, headless: the same code the window
// runs, drawing included, on the simulated clock.
namespace {

constexpr double kPeriod = 1.0 / 64.0;

struct Game {
    ManualClock clock;
    ManualPause pause{clock};
    ScriptedDialogs dialogs;
    SilentMusicPlayer music;
    SequenceRandom random;
    HeadlessPlayView* view = nullptr;
    Form1 form{Form1::Environment{clock, pause, dialogs, music, random, QString()},
               [this](Form1&) { return view = new HeadlessPlayView; }};
    int64_t ticks = 0;

    void start() {
        clock.time = 0;
        form.show();
        pause.until = 2.9;
        for (double at : {0.8, 1.6, 2.4}) {
            clock.time = at;
            form.Timer2_Timer();
        }
        int16_t right = 39, down = 40;
        form.Form_KeyDown(right, 0);
        form.Form_KeyDown(down, 0);
        ticks = 0;
    }

    // Lives are topped up so every game runs to its time limit, collisions
    // and all.
    bool tick() {
        form.life = 5;
        clock.time = 2.9 + static_cast<double>(++ticks) * kPeriod;
        form.Timer1_Timer();
        return form.phase() == Form1::Phase::Play;
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
BENCHMARK(Tick);

void FullGame(benchmark::State& state) {
    Game game;
    int64_t ticks = 0;
    for (auto _ : state) {
        game.start();
        while (game.tick()) {
        }
        ticks = game.ticks;
    }
    state.counters["ticks"] = static_cast<double>(ticks);
}
BENCHMARK(FullGame)->Unit(benchmark::kMillisecond);

// The floor: the bytes a tick's rectangle copies move (two margin strips,
// two balls with their erasures, two gunmen, two shots with their erasures),
// copied with plain memcpy.
void MemcpyFloor(benchmark::State& state) {
    const int rects[][2] = {{600, 30}, {30, 400}, {25, 25}, {25, 25}, {25, 25}, {25, 25},
                            {32, 32},  {32, 32},  {32, 32}, {32, 32}, {32, 32}, {32, 32},
                            {10, 10},  {10, 10},  {10, 10}, {10, 10}, {10, 10}, {10, 10}};
    std::vector<uint32_t> from(600 * 400, 0x00C0FFEEu), to(600 * 400);
    for (auto _ : state) {
        for (const auto& r : rects) {
            for (int y = 0; y < r[1]; ++y) {
                std::memcpy(to.data() + y * 600, from.data() + y * 600,
                            static_cast<size_t>(r[0]) * sizeof(uint32_t));
            }
        }
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(MemcpyFloor);

} // namespace

BENCHMARK_MAIN();
