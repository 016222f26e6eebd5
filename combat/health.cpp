// Health bars under the ground line and the clamping of overkill damage.
//
// Every bar is on one scale, 30 pixels per 1000 hit points, so a bunker's bar is visibly
// longer than a rifleman's. The frame shows the maximum, the red fill what is left.
#include "combat/health.h"

#include <cstdint>

namespace gs {
namespace {

/// num / den (den > 0) rounded to the nearest integer, a tie going to the even neighbour.
/// Exact: the bar ends must not drift by a pixel through floating-point error.
std::int64_t roundQuot(std::int64_t num, std::int64_t den) {
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) { // floor division, so that the remainder is in 0..den-1
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
    return q;
}

/// White frame centred on P, as wide as Hmax at 30 pixels per 1000 hit points.
/// The right edge rounds P + Hmax*30/2000 as a whole, so on a half-pixel width it
/// depends on whether P is even or odd; the left edge is always P - r.
void frame(Graph& gr, int P, int Hmax) {
    const std::int64_t hw = static_cast<std::int64_t>(Hmax) * 30;
    const std::int64_t r = roundQuot(hw, 2000);
    const std::int64_t right = roundQuot(static_cast<std::int64_t>(P) * 2000 + hw, 2000);
    gr.Rectangle(w16(P - r), 510, w16(right), 515);
}

/// Red fill from one pixel left of the frame, Hcur*30/1000 pixels long.
void fill(Graph& gr, int P, int Hmax, int Hcur) {
    const std::int64_t left = P - roundQuot(static_cast<std::int64_t>(Hmax) * 30, 2000) - 1;
    gr.Bar(w16(left), 511, w16(left + roundQuot(static_cast<std::int64_t>(Hcur) * 30, 1000)), 514);
}

} // namespace

void HEALTH(Game& G) {
    Graph& gr = G.gr;
    gr.SetColor(15);
    frame(gr, G.GUNX, G.MAXGUNHP);
    gr.SetFillStyle(1, 4);
    fill(gr, G.GUNX, G.MAXGUNHP, G.GUNHP);
    for (i16 INPH = 1; INPH <= G.units(); ++INPH) {
        const OBJ& o = G.unit(INPH);
        if (o.UVIS != 0) continue; // a destroyed unit has no bar, whatever HEALTH says
        gr.SetColor(15);
        frame(gr, o.X, o.MAXHP);
        gr.SetFillStyle(1, 4);
        fill(gr, o.X, o.MAXHP, o.HEALTH);
    }
}

void GARMHEALTH(Game& G) {
    // Overkill leaves hit points below 0; the victory test needs them to add up to exactly 0.
    for (i16 INP9 = 1; INP9 <= G.units(); ++INP9) {
        OBJ& o = G.unit(INP9);
        if (o.HEALTH < 0) o.HEALTH = 0;
    }
}

} // namespace gs
