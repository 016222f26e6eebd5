// Health bars under the ground line and the clamping of overkill damage.
//
// Every bar is on one scale, 30 pixels per 1000 hit points, so a bunker's bar is visibly
// longer than a rifleman's. The frame shows the maximum, the red fill what is left.
#include "combat/health.h"

#include <cstdint>

namespace gs {
namespace {

constexpr int BAR_TOP = HEALTH_BAR_TOP, BAR_BOTTOM = HEALTH_BAR_BOTTOM;

/// White frame centred on P, as wide as Hmax at 30 pixels per 1000 hit points.
/// The right edge rounds P + Hmax*30/2000 as a whole, so on a half-pixel width it
/// depends on whether P is even or odd; the left edge is always P - r.
void frame(Graph& gr, int P, int Hmax) {
    const std::int64_t fullWidth = static_cast<std::int64_t>(Hmax) * 30;
    const std::int64_t halfWidth = divEven(fullWidth, 2000);
    const std::int64_t right = divEven(static_cast<std::int64_t>(P) * 2000 + fullWidth, 2000);
    gr.Rectangle(w16(P - halfWidth), w16(BAR_TOP), w16(right), w16(BAR_BOTTOM));
}

/// Red fill from one pixel left of the frame, Hcur*30/1000 pixels long.
void fill(Graph& gr, int P, int Hmax, int Hcur) {
    const std::int64_t left = P - divEven(static_cast<std::int64_t>(Hmax) * 30, 2000) - 1;
    const std::int64_t length = divEven(static_cast<std::int64_t>(Hcur) * 30, 1000);
    gr.Bar(w16(left), w16(BAR_TOP + 1), w16(left + length), w16(BAR_BOTTOM - 1));
}

} // namespace

void HEALTH(Game& G) {
    Graph& gr = G.gr;
    gr.SetColor(colour::White);
    frame(gr, G.GUNX, G.MAXGUNHP);
    gr.SetFillStyle(1, colour::Red);
    fill(gr, G.GUNX, G.MAXGUNHP, G.GUNHP);
    for (i16 INPH = 1; INPH <= G.units(); ++INPH) {
        const OBJ& unit = G.unit(INPH);
        if (unit.UVIS != 0) continue; // a destroyed unit has no bar, whatever HEALTH says
        gr.SetColor(colour::White);
        frame(gr, unit.X, unit.MAXHP);
        gr.SetFillStyle(1, colour::Red);
        fill(gr, unit.X, unit.MAXHP, unit.HEALTH);
    }
}

void GARMHEALTH(State& s) {
    // Overkill leaves hit points below 0; the victory test needs them to add up to exactly 0.
    for (i16 INP9 = 1; INP9 <= s.units(); ++INP9) {
        OBJ& unit = s.unit(INP9);
        if (unit.HEALTH < 0) unit.HEALTH = 0;
    }
}

} // namespace gs
