// The battle's own cost: a whole scripted battle in fast mode (turns per second). Real-time
// turns are measured in bench_window.cpp, headless and in a window.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/practice.h"
#include "bench/quiet_keys.h"
#include "game/battle.h"

namespace gs {
namespace {

/// The five shots that clear level 1's practice ground.
const char* const CLEAR_PRACTICE = "\n1\n22 32\n1\n27 38\n1\n31 42\n1\n35 40\n1\n40 38\n";
constexpr int PRACTICE_TURNS = 5;

struct Setup {
    Graph gr{Graph::Config{true, 1280, 1024, true}};
    bench::QuietKeys keys;
    Console con{keys};
    Clock clk;
    Rng rnd;
    Game G{gr, con, clk, rnd};

    Setup(const std::string& script, bool fast) : keys(script), clk(Clock::Config{fast, 1u}) {}

    void practiceLevel(int units) { gs::bench::startPracticeLevel(G, units, 1000); }
};

void BM_ScriptedBattleFast(benchmark::State& state) {
    std::int64_t turns = 0;
    for (auto _ : state) {
        Setup s(CLEAR_PRACTICE, true);
        s.practiceLevel(5);
        if (battle(s.G) != Outcome::Won) state.SkipWithError("the scripted battle was not won");
        turns += PRACTICE_TURNS;
    }
    state.counters["turns/s"] =
        benchmark::Counter(static_cast<double>(turns), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScriptedBattleFast)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace gs
