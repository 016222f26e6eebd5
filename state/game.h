// The game: its shared state and the four platform services every procedure reaches
// through it (drawing surface, console, clock, random generator), and where its sounds go.
//
// Procedures take the game as their first argument and keep the game's own names:
// FLY(G), EXPLODE(G, U, I), URONIX(G, X12). Tests build a Game on a headless Graph,
// a scripted console, a fast virtual clock and a scripted or seeded generator.
#pragma once

#include "console/console.h"
#include "picture/graph.h"
#include "sound/sound.h"
#include "state/level_directory.h"
#include "state/state.h"
#include "system/clock.h"
#include "system/random.h"

namespace gs {

/// The Campaign's progress kept between games (game/progress.h).
struct CampaignProgress;

struct Game : State {
    Graph& gr;
    Console& con;
    Clock& clk;
    Rng& rnd;
    /// This game's level directory (main sets it from the options).
    LevelDirectory levels;
    /// Where the Campaign's progress is kept and what this game knows of it; none: the
    /// Campaign starts at level 1 and nothing is kept.
    CampaignProgress* campaign = nullptr;
    /// Where the sounds go; a game nobody listens to keeps the silent sink.
    SoundSink* sink = &silentSink();

    Game(Graph& g, Console& c, Clock& k, Rng& r) : gr(g), con(c), clk(k), rnd(r) {}
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    State& state() { return *this; }

    void Delay(std::uint16_t ms) { clk.Delay(ms); }
    int Random(int n) { return rnd.Random(n); }
    /// Hands a sound over, stamped with the time the game has paused so far (its own
    /// clock, whatever the seed); never waits, never draws from the generator.
    void sound(Sound s, int value = 0, int lengthMs = 0) {
        const int length = lengthMs < 0 ? 0 : lengthMs > 60000 ? 60000 : lengthMs;
        sink->play(SoundEvent{clk.delayedMs(), s, value, static_cast<std::uint16_t>(length)});
    }
    /// Re-seeds the generator from the clock (program start, battle start, enemy fire).
    void reseed() { rnd.seed(clk.seedTicks()); }
};

} // namespace gs
