// What --record costs a long game: the file is kept up to date at every Enter, so the
// time per answer must not grow with the number of answers already kept.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/quiet_keys.h"
#include "demo/demo_terminals.h"

namespace gs {
namespace {

/// state.range(0) answers recorded into a fresh file; reports the time per answer.
void BM_RecordAnswers(benchmark::State& state) {
    const auto answers = state.range(0);
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("gs_bench_record_" + std::to_string(getpid()) + ".demo");
    for (auto _ : state) {
        bench::QuietKeys keyboard("22 32\r", true);
        Demo start;
        start.program = "bench";
        RecordingTerminal rec(keyboard, file.string(), start);
        for (std::int64_t answer = 0; answer < answers; ++answer)
            while (rec.waitKey() != KEY_ENTER) {
            }
        rec.save();
        if (!rec.error().empty()) state.SkipWithError(rec.error().c_str());
    }
    state.counters["per_answer"] = benchmark::Counter(
        static_cast<double>(answers),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    std::filesystem::remove(file);
}
BENCHMARK(BM_RecordAnswers)
    ->Arg(1000)
    ->Arg(8000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace gs
