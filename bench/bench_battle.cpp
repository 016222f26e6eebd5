// The battle's own cost: a whole scripted battle in fast mode (turns per second). Real-time
// turns are measured in bench_window.cpp, headless and in a window.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/practice.h"
#include "game/battle.h"

namespace gs {
namespace {

/// Keys from a fixed script; output is dropped.
class ScriptKeys : public Terminal {
public:
    explicit ScriptKeys(std::string keys) : keys_(std::move(keys)) {}
    std::optional<int> pollKey() override {
        if (pos_ >= keys_.size()) return std::nullopt;
        return key(keys_[pos_++]);
    }
    int waitKey() override { return key(pos_ < keys_.size() ? keys_[pos_++] : '\n'); }
    void write(std::string_view) override {}
    void clear() override {}
    void moveCursor(int, int) override {}
    bool isScreen() const override { return false; }

private:
    static int key(char c) { return c == '\n' ? KEY_ENTER : static_cast<unsigned char>(c); }
    std::string keys_;
    std::size_t pos_ = 0;
};

/// The five shots that clear level 1's practice ground.
const char* const CLEAR_PRACTICE = "\n1\n22 32\n1\n27 38\n1\n31 42\n1\n35 40\n1\n40 38\n";
constexpr int PRACTICE_TURNS = 5;

struct Setup {
    Graph gr{Graph::Config{true, 1280, 1024, true}};
    ScriptKeys keys;
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
