// Shared by both raids: an aircraft shown for a moment, then erased.
#pragma once
#include "state/game.h"

namespace gs {
/// Draws the aircraft `draw` at x in white, waits `ms`, and draws it again in black.
/// Leaves colour 0 in force.
inline void flashAircraft(Game& G, void (*draw)(Game&, i16), i16 x, std::uint16_t ms) {
    G.gr.SetColor(15);
    draw(G, x);
    G.Delay(ms);
    G.gr.SetColor(0);
    draw(G, x);
}
} // namespace gs
