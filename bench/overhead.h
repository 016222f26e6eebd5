// How much a real-time run costs beyond the pauses it asks for: the wall time of `run`
// against the clock's sum of delays, reported as counters of the benchmark.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

#include "system/clock.h"

namespace gs::bench {

/// `make` builds a fresh real-time setup and returns the clock it runs on; `run` plays it.
template <class Make, class Run>
void measureOverhead(benchmark::State& state, const char* pausesCounter, Make make, Run run) {
    double wallMs = 0, delayedMs = 0;
    for (auto _ : state) {
        auto setup = make();
        const auto t0 = std::chrono::steady_clock::now();
        run(*setup);
        const auto t1 = std::chrono::steady_clock::now();
        wallMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        delayedMs += static_cast<double>(setup->clk.delayedMs());
    }
    state.counters[pausesCounter] = delayedMs / static_cast<double>(state.iterations());
    state.counters["overhead_%"] = 100.0 * (wallMs - delayedMs) / delayedMs;
}

} // namespace gs::bench
