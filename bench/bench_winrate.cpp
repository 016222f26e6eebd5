// How often the automatic player wins: each campaign level over several seeds, and fifty
// seeded skirmishes at every difficulty. The counters are the report: win_rate (0 to 1),
// shots per battle, and after a win the share of the gun's hit points and of the shells
// that were left.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "autoplayer/autoplayer.h"
#include "game/battle.h"
#include "game/modes.h"

namespace gs {
namespace {

constexpr int CAMPAIGN_LEVELS = 12;
constexpr int LEVEL_SEEDS = 20;
constexpr int SKIRMISHES = 50;

struct Tally {
    int battles = 0, wins = 0, shots = 0;
    int dead = 0, overrun = 0, spent = 0; ///< how the lost battles were lost
    double gunLeft = 0, shellsLeft = 0;
    void add(const AutoGame& a, Outcome o) {
        ++battles;
        shots += static_cast<int>(a.term.shots.size());
        if (o == Outcome::Won) {
            ++wins;
            gunLeft += a.G.MAXGUNHP > 0 ? double(a.G.GUNHP) / a.G.MAXGUNHP : 0;
            const int before = static_cast<int>(a.term.shots.size()) + a.G.FS + a.G.BS + a.G.TS;
            shellsLeft += before > 0 ? double(a.G.FS + a.G.BS + a.G.TS) / before : 0;
        } else if (a.G.GUNHP <= 0) {
            ++dead;
        } else if (a.G.FS + a.G.BS + a.G.TS <= 0) {
            ++spent;
        } else {
            ++overrun;
        }
    }
    void report(benchmark::State& st) const {
        st.counters["battles"] = battles;
        st.counters["win_rate"] = battles ? double(wins) / battles : 0;
        st.counters["shots"] = battles ? double(shots) / battles : 0;
        st.counters["gun_left"] = wins ? gunLeft / wins : 0;
        st.counters["shells_left"] = wins ? shellsLeft / wins : 0;
        st.counters["lost_dead"] = dead;
        st.counters["lost_overrun"] = overrun;
        st.counters["lost_spent"] = spent;
    }
};

/// Whether the Campaign has shown the enemy a radar truck before level `lev`: the
/// aircraft then join every later battle, as they do in a real run.
bool radarSeenBefore(Game& G, int lev) {
    for (int k = 1; k < lev; ++k) {
        openLevel(G, static_cast<i16>(k));
        for (int i = 1; i <= G.units(); ++i)
            if (G.unit(i).TYP == T_RADARMACH) return true;
    }
    return false;
}

void BM_CampaignLevel(benchmark::State& st) {
    const int lev = static_cast<int>(st.range(0));
    Tally t;
    for (auto _ : st) {
        for (int seed = 1; seed <= LEVEL_SEEDS; ++seed) {
            AutoGame a(static_cast<std::uint32_t>(seed * 7919));
            const bool radar = radarSeenBefore(a.G, lev);
            openLevel(a.G, static_cast<i16>(lev));
            if (radar) a.G.RDR = 1;
            t.add(a, battle(a.G));
        }
    }
    t.report(st);
}
BENCHMARK(BM_CampaignLevel)
    ->DenseRange(1, CAMPAIGN_LEVELS)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

/// The whole Campaign in one run, as the game plays it: how many runs win all of it
/// without a replay, and how far the others get.
void BM_Campaign(benchmark::State& st) {
    int runs = 0, complete = 0, levels = 0;
    for (auto _ : st) {
        for (int seed = 1; seed <= LEVEL_SEEDS; ++seed) {
            AutoGame a(static_cast<std::uint32_t>(seed * 31337));
            int won = 0;
            campaign(a.G, [&](Game& G) {
                const Outcome o = battle(G);
                won += o == Outcome::Won;
                return o;
            });
            ++runs;
            levels += won;
            complete += won == CAMPAIGN_LEVELS;
        }
    }
    st.counters["runs"] = runs;
    st.counters["win_rate"] = runs ? double(complete) / runs : 0;
    st.counters["levels_won"] = runs ? double(levels) / runs : 0;
}
BENCHMARK(BM_Campaign)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Skirmish(benchmark::State& st) {
    const int eil = static_cast<int>(st.range(0));
    Tally t;
    for (auto _ : st) {
        for (int seed = 1; seed <= SKIRMISHES; ++seed) {
            AutoGame a(static_cast<std::uint32_t>(seed * 104729 + eil));
            openSkirmish(a.G, static_cast<i16>(eil));
            t.add(a, battle(a.G));
        }
    }
    t.report(st);
}
BENCHMARK(BM_Skirmish)->DenseRange(1, 5)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace gs
