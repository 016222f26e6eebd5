// The enemy's heaviest answer: twenty armed units in range (six rocket launchers among
// them), then the airstrike and the carpet bombing, then the advance. Measured in fast
// mode (phases per second, and the pauses that one phase asks for).
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>

#include "air/raids.h"
#include "bench/quiet_keys.h"
#include "combat/enemy_fire.h"
#include "combat/movement.h"
#include "render/sprites.h"

namespace gs {
namespace {

struct Phase {
    Graph gr{Graph::Config{true, 1280, 1024, true}};
    bench::QuietKeys keys;
    Console con{keys};
    Clock clk;
    bench::RaidDice rnd;
    Game G{gr, con, clk, rnd};

    explicit Phase(bool fast) : clk(Clock::Config{fast, 1u}) {
        gr.InitGraph(G.GD, G.GM, "");
        // Every unit armed and in its range of a gun at x = 50.
        struct U {
            i16 typ, x;
        };
        constexpr U roster[20] = {{9, 300},  {9, 350},  {9, 400},  {9, 450}, {9, 500},
                                  {9, 550},  {7, 600},  {7, 650},  {7, 700}, {7, 750},
                                  {10, 800}, {10, 850}, {10, 900}, {8, 400}, {8, 500},
                                  {8, 600},  {5, 220},  {5, 240},  {6, 270}, {6, 290}};
        G.NUMB = 20;
        for (int i = 0; i < 20; ++i) {
            G.unit(i + 1).TYP = roster[i].typ;
            G.unit(i + 1).X = roster[i].x;
        }
        G.GUNX = 50;
        G.MAXGUNHP = 30000;
        ANTICHEAT(G);
        MAXIMALHP(G);
        for (int i = 1; i <= G.units(); ++i) G.unit(i).HEALTH = G.unit(i).MAXHP;
        G.OBRU = 15;
        G.gr.SetColor(15);
        PAINTOBJ(G); // arms every unit
        G.RDR = 1;   // the radar has been seen: both raids may come
    }

    void enemyPhase() {
        AISHOT(G);
        rnd.next = 5;
        AIRSTRIKE(G);
        rnd.next = 39;
        CARPETBOMBING(G);
        MOVE(G);
        RADARMACH(G);
    }
};

void BM_HeaviestEnemyPhaseFast(benchmark::State& state) {
    double delayed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Phase p(true);
        state.ResumeTiming();
        p.enemyPhase();
        delayed += static_cast<double>(p.clk.delayedMs());
    }
    state.counters["pauses_ms"] = delayed / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HeaviestEnemyPhaseFast)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace gs
