// The battlefield furniture and the player's gun.
#include "render/field.h"

#include <string>

#include "picture/picture_size.h"

namespace gs {
namespace {

/// One ammunition counter row in the panel: shown only while the stock lasts.
struct CounterRow {
    i16 State::*count;
    const char* label;
    int up; ///< rows above the bottom of the window
};

constexpr CounterRow COUNTERS[] = {
    {&State::FS, "f - ", 40},
    {&State::BS, "b - ", 30},
    {&State::TS, "t - ", 20},
};

// The picture the one window and the page choose is tall enough that the top counter
// (8 rows of text) stands wholly below the health bars, not over the gun and its bar.
static_assert(BATTLE_H - 1 - COUNTERS[0].up > HEALTH_BAR_BOTTOM);
static_assert(COUNTERS[0].up >= COUNTERS[1].up && COUNTERS[0].up >= COUNTERS[2].up);

/// The gun's outline: wheel, barrel, trail. x offsets from GUNX, absolute rows.
struct GunLine {
    int x1, y1, x2, y2;
};
constexpr GunLine GUN_LINES[] = {
    {-10, 490, 20, 480},  // barrel, lower edge
    {20, 480, 17, 475},   // muzzle
    {17, 475, -13, 485},  // barrel, upper edge
    {-10, 490, -13, 485}, // breech
    {-3, 495, -20, 500},  // trail, lower edge
    {-6, 490, -23, 495},  // trail, upper edge
    {-20, 500, -23, 495}, // trail end on the ground
};

} // namespace

void FIELD(Game& G) {
    Graph& gr = G.gr;

    // The frame's top edge is the ground line; it and the counters take whatever colour
    // the previous drawing left in force.
    gr.Rectangle(1, GROUND, w16(gr.GetMaxX() - 1), w16(gr.GetMaxY() - 1));

    // An empty stock leaves its row blank; the other rows keep their places.
    for (const CounterRow& row : COUNTERS) {
        const i16 count = G.*row.count;
        if (count <= 0) continue;
        const i16 y = w16(gr.GetMaxY() - row.up);
        gr.OutTextXY(10, y, row.label);
        G.TSS = std::to_string(count);
        gr.OutTextXY(40, y, G.TSS);
    }

    // Escalation indicator: green while calm, yellow, then red as the enemy closes in.
    // A counter outside 1..15 never happens in play; it would keep the fill in force.
    static constexpr int BAND_COLOUR[4] = {0, colour::Green, colour::Yellow, colour::Red};
    if (const int band = escalationBand(G.OBRU)) gr.SetFillStyle(1, BAND_COLOUR[band]);
    gr.Bar(w16(gr.GetMaxX() - 100), 100, w16(gr.GetMaxX() - 70), 130);
    gr.SetColor(colour::Black);
    G.TSS = std::to_string(G.OBRU);
    gr.OutTextXY(w16(gr.GetMaxX() - 90), 110, G.TSS);

    // The sprites drawn next have no colour of their own: they come out white.
    gr.SetColor(colour::White);
}

void GUN(Game& G) {
    Graph& gr = G.gr;
    const int X = G.GUNX;
    // The wheel's centre is where the shell leaves the gun.
    gr.Circle(w16(X), 495, 5);
    for (const GunLine& l : GUN_LINES) gr.Line(w16(X + l.x1), w16(l.y1), w16(X + l.x2), w16(l.y2));
}

} // namespace gs
