// The battle of one level: the window, the turns, and the outcome for the game modes.
#pragma once
#include "state/game.h"

namespace gs {
enum class Outcome {
    Won,        ///< all enemy hit points are gone; the window is closed
    Replay,     ///< lost, and the player wants the level again
    EndProgram, ///< lost, and the player answered N
};

/// Runs the battle of the level in place (roster, gun, stocks, per-level reset done).
Outcome battle(Game& G);
} // namespace gs
