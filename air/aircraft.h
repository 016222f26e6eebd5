// What both raids share: the aircraft drawn from its outline, and shown for a moment.
#pragma once

#include <cstdint>
#include <span>

#include "state/game.h"

namespace gs {

/// One line of an aircraft's outline: x offsets from the aircraft's reference x,
/// absolute screen rows.
struct AircraftLine {
    int x1, y1, x2, y2;
};

/// Draws the outline with its reference point at x in the colour in force.
inline void drawAircraft(Game& G, std::span<const AircraftLine> outline, i16 x) {
    for (const AircraftLine& line : outline)
        G.gr.Line(w16(x + line.x1), w16(line.y1), w16(x + line.x2), w16(line.y2));
}

/// Draws the aircraft `draw` at x in white, waits `ms`, and draws it again in black.
/// Leaves colour 0 in force.
inline void flashAircraft(Game& G, void (*draw)(Game&, i16), i16 x, std::uint16_t ms) {
    G.gr.SetColor(colour::White);
    draw(G, x);
    G.Delay(ms);
    G.gr.SetColor(colour::Black);
    draw(G, x);
}

} // namespace gs
