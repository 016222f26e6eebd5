// Unit sprites. Each look is a fixed list of outline primitives anchored at the unit's X
// on the ground line, followed by the combat values the look gives the unit. Keeping the
// shapes as data means every coordinate is written down exactly once.
#include "render/sprites.h"

#include <cstdint>
#include <span>

namespace gs {
namespace {

enum class Op : std::uint8_t { Line, Circle, Rect, Bar, Color, Fill };

/// One drawing step. x values are offsets from the unit's X, y values are screen rows.
/// Line, Rect, Bar: (X+x1, y1) to (X+x2, y2). Circle: centre (X+x1, y1), radius x2.
/// Color: colour x1. Fill: pattern x1, colour y1.
struct Prim {
    Op op;
    int x1, y1, x2, y2;
};

constexpr Prim L(int x1, int y1, int x2, int y2) { return {Op::Line, x1, y1, x2, y2}; }
constexpr Prim C(int x, int y, int r) { return {Op::Circle, x, y, r, 0}; }
constexpr Prim R(int x1, int y1, int x2, int y2) { return {Op::Rect, x1, y1, x2, y2}; }
constexpr Prim B(int x1, int y1, int x2, int y2) { return {Op::Bar, x1, y1, x2, y2}; }
constexpr Prim COLOR(int c) { return {Op::Color, c, 0, 0, 0}; }
constexpr Prim FILL(int pattern, int c) { return {Op::Fill, pattern, c, 0, 0}; }
/// A single pixel: a line whose two ends are the same point.
constexpr Prim DOT(int x, int y) { return L(x, y, x, y); }

// The tables keep the grouping of the drawing (wheels, hull, turret) rather than one
// primitive per line.
// clang-format off

// ---- The target and the buildings ----

constexpr Prim mishen[] = {
    L(0, 500, 0, 460), // post
    C(0, 450, 10), C(0, 450, 7), C(0, 450, 5), C(0, 450, 2),
};

constexpr Prim house[] = {
    R(-20, 480, 20, 500),
    L(-20, 480, 0, 460), L(0, 460, 20, 480), // roof
};

constexpr Prim building[] = {
    R(-40, 450, 30, 500),
    R(-35, 455, -25, 475),
    R(25, 455, 5, 475), // corners given right first; the rectangle rule decides the pixels
};

// The flag is the only coloured part of any unit; it is painted red and white even in the
// erase pass, so the bunker leaves white in force for the units after it.
constexpr Prim bunker[] = {
    R(-40, 480, 30, 500),
    L(0, 480, 0, 440),  // flagpole
    R(0, 440, 20, 450), // flag outline
    COLOR(colour::Red),
    L(0, 441, 20, 441), L(0, 443, 20, 443), L(0, 445, 20, 445), L(0, 447, 20, 447),
    L(0, 449, 20, 449),
    COLOR(colour::White),
    L(0, 442, 20, 442), L(0, 444, 20, 444), L(0, 446, 20, 446), L(0, 448, 20, 448),
    FILL(1, colour::LightBlue),
    B(1, 441, 7, 447), // the light blue corner by the pole
};

// ---- Vehicles and troops; barrels point left, towards the player's gun ----

constexpr Prim transportbtr[] = {
    C(-19, 493, 6), C(19, 493, 6), C(0, 493, 6),
    L(-13, 493, -6, 493), L(13, 493, 6, 493),
    L(25, 493, 31, 487), L(-25, 493, -31, 487),
    L(-31, 487, -25, 479), L(31, 487, 25, 479),
    L(-25, 479, 25, 479),
    L(-19, 479, -14, 473), L(-14, 473, -5, 473), L(0, 479, -5, 473), // hatch
};

constexpr Prim ltank[] = {
    C(-30, 489, 5), C(30, 489, 5),
    C(-20, 494, 5), C(20, 494, 5), C(-10, 494, 5), C(10, 494, 5), C(0, 494, 5),
    L(-20, 499, -30, 494), L(20, 499, 30, 494),
    L(-30, 484, 30, 484),
    L(-20, 499, 20, 499),
    L(-20, 484, -10, 474), L(10, 474, -10, 474), L(10, 474, 20, 484), // turret
    L(-15, 479, -25, 474),                                            // barrel
};

constexpr Prim otank[] = {
    C(0, 494, 5), C(10, 494, 5), C(20, 494, 5), C(30, 494, 5),
    C(-10, 494, 5), C(-20, 494, 5), C(-30, 494, 5),
    L(-33, 499, 33, 499),
    L(-33, 499, -47, 479),
    L(33, 499, 40, 489),
    L(40, 489, -40, 489),
    L(-40, 489, 45, 489),
    L(45, 489, 45, 479),
    L(45, 489, 45, 476),
    L(45, 476, 25, 476),
    L(25, 476, 22, 479),
    L(22, 479, 47, 479),
    L(-47, 479, 22, 479),
    L(25, 476, 20, 469), L(20, 469, -10, 469), L(-10, 469, -20, 479), // turret
    L(-15, 474, -50, 469),                                            // barrel
};

constexpr Prim sau[] = {
    C(0, 495, 5), C(10, 495, 5), C(20, 495, 5), C(30, 495, 5),
    C(-10, 495, 5), C(-20, 495, 5), C(-30, 495, 5),
    L(-30, 500, 30, 500),
    C(-40, 492, 5), C(40, 492, 5),
    L(-40, 497, -33, 500), L(40, 497, 33, 500),
    L(-40, 487, 40, 487),
    L(-45, 492, -45, 485),
    L(-45, 492, -45, 480),
    L(-45, 480, -25, 470),
    L(-25, 470, 40, 470),
    L(40, 470, 40, 487),
    L(-10, 470, 0, 460),
    L(0, 460, 45, 460),
    DOT(45, 496), DOT(45, 496),
    L(45, 460, 45, 470),
    L(45, 470, 40, 470),
    L(-5, 465, -30, 462), // barrel
};

constexpr Prim rocketman[] = {
    C(0, 489, 3), // head
    L(-2, 491, -2, 499), L(2, 491, 2, 499), L(2, 499, -2, 499),
    DOT(-8, 493),
    L(-2, 493, -14, 489), L(-14, 489, -12, 485), L(-12, 485, -3, 489), // launcher
    L(2, 493, 8, 496),                                                 // arm
    L(-2, 499, -5, 494), L(-5, 494, -10, 499),                         // leg
};

constexpr Prim rszo[] = {
    C(-5, 494, 5), C(5, 494, 5), C(15, 494, 5), C(25, 494, 5), C(-15, 494, 5), C(-25, 494, 5),
    L(-25, 499, 25, 499),
    C(35, 491, 5), C(-35, 491, 5),
    L(-35, 486, 35, 486),
    L(-35, 496, -28, 499), L(35, 496, 28, 499),
    L(40, 491, 40, 479),
    DOT(-45, 499),
    L(-40, 491, -40, 479),
    L(-40, 479, -30, 469), L(-30, 469, -20, 469), L(-20, 469, -20, 479), // cab
    L(-20, 479, 40, 479),
    L(40, 479, 50, 474),
    L(20, 439, 40, 479), L(30, 434, 50, 474), L(30, 434, 20, 439), // launcher frame
    L(30, 459, 10, 479),
};

constexpr Prim enemygun[] = {
    C(0, 492, 5),
    L(0, 497, 10, 500), L(0, 497, -10, 500),
    L(5, 492, 13, 500),
    L(13, 500, 16, 497), L(13, 500, 18, 495),
    L(18, 495, -15, 460), L(-15, 460, -20, 465), L(-20, 465, 0, 485), // barrel
    L(-18, 462, -28, 452), L(-17, 463, -27, 453), L(-19, 462, -29, 452),
    L(-20, 462, -30, 452), // muzzle
};

// ---- The radar machine: driving, and deployed with its antenna lattice ----

constexpr Prim radarmach1[] = {
    C(-15, 494, 5), C(10, 494, 5), C(20, 494, 5),
    L(-10, 494, 5, 494),
    L(25, 494, 30, 494),
    L(30, 494, 30, 470), L(30, 470, 0, 470), L(0, 470, 0, 494), // box body
    L(-20, 494, -25, 494), L(-20, 494, -30, 494),
    L(-30, 494, -30, 485), L(-30, 494, -30, 480),
    L(-30, 480, -20, 480), L(-20, 480, -10, 470), L(-10, 470, -2, 470), L(-2, 470, -2, 494),
};

constexpr Prim radarmach2[] = {
    C(-15, 494, 5), C(10, 494, 5), C(20, 494, 5), C(80, 494, 5), C(90, 494, 5),
    L(-10, 494, 5, 494),
    L(0, 485, 100, 485), L(0, 475, 100, 475), L(0, 465, 100, 465), L(0, 455, 100, 455),
    L(0, 445, 100, 445),
    L(0, 485, 0, 445), L(20, 485, 20, 445), L(40, 485, 40, 445), L(60, 485, 60, 445),
    L(80, 485, 80, 445), L(100, 485, 100, 445),
    L(-20, 494, -25, 494), L(-20, 494, -30, 494),
    L(-30, 494, -30, 485), L(-30, 494, -30, 480),
    L(-30, 480, -20, 480), L(-20, 480, -10, 470), L(-10, 470, -2, 470), L(-2, 470, -2, 494),
};

/// The outline of every look, in the order of the unit table's looks.
constexpr std::span<const Prim> SHAPES[LOOKS] = {
    mishen, house, building, bunker, transportbtr, ltank, otank,
    sau, rocketman, rszo, enemygun, radarmach1, radarmach2,
};
// clang-format on

/// Draws the look at OBJS[NOF].X in the colour in force, then arms the unit with its
/// row of the unit table.
void paint(Game& G, i16 NOF, Look look) {
    if (NOF < 1 || NOF > MAXUNITS) return; // not a roster slot: nothing to draw or arm
    OBJ& unit = G.unit(NOF);
    const int X = unit.X;
    Graph& graph = G.gr;
    for (const Prim& prim : SHAPES[static_cast<int>(look)]) {
        switch (prim.op) {
        case Op::Line:
            graph.Line(w16(X + prim.x1), w16(prim.y1), w16(X + prim.x2), w16(prim.y2));
            break;
        case Op::Circle: graph.Circle(w16(X + prim.x1), w16(prim.y1), w16(prim.x2)); break;
        case Op::Rect:
            graph.Rectangle(w16(X + prim.x1), w16(prim.y1), w16(X + prim.x2), w16(prim.y2));
            break;
        case Op::Bar:
            graph.Bar(w16(X + prim.x1), w16(prim.y1), w16(X + prim.x2), w16(prim.y2));
            break;
        case Op::Color: graph.SetColor(prim.x1); break;
        case Op::Fill: graph.SetFillStyle(prim.x1, prim.y1); break;
        }
    }
    const Arms& arms = unitKind(look).arms;
    unit.SPEED = arms.SPEED;
    unit.GX = arms.GX;
    unit.GY = arms.GY;
    unit.SHOT = arms.SHOT;
    unit.DIST = arms.DIST;
}

} // namespace

void MISHEN(Game& G, i16 NOF) { paint(G, NOF, Look::MISHEN); }
void HOUSE(Game& G, i16 NOF) { paint(G, NOF, Look::HOUSE); }
void BUILDING(Game& G, i16 NOF) { paint(G, NOF, Look::BUILDING); }
void BUNKER(Game& G, i16 NOF) { paint(G, NOF, Look::BUNKER); }
void TRANSPORTBTR(Game& G, i16 NOF) { paint(G, NOF, Look::TRANSPORTBTR); }
void LTANK(Game& G, i16 NOF) { paint(G, NOF, Look::LTANK); }
void OTANK(Game& G, i16 NOF) { paint(G, NOF, Look::OTANK); }
void SAU(Game& G, i16 NOF) { paint(G, NOF, Look::SAU); }
void ROCKETMAN(Game& G, i16 NOF) { paint(G, NOF, Look::ROCKETMAN); }
void RSZO(Game& G, i16 NOF) { paint(G, NOF, Look::RSZO); }
void ENEMYGUN(Game& G, i16 NOF) { paint(G, NOF, Look::ENEMYGUN); }
void RADARMACH1(Game& G, i16 NOF) { paint(G, NOF, Look::RADARMACH1); }
void RADARMACH2(Game& G, i16 NOF) { paint(G, NOF, Look::RADARMACH2); }

void PAINTOBJ(Game& G) {
    // The sprite procedure of every look, in the order of the unit table's looks.
    static constexpr void (*SPRITE[LOOKS])(Game&, i16) = {
        MISHEN, HOUSE,     BUILDING, BUNKER,   TRANSPORTBTR, LTANK,      OTANK,
        SAU,    ROCKETMAN, RSZO,     ENEMYGUN, RADARMACH1,   RADARMACH2,
    };
    for (i16 INP2 = 1; INP2 <= G.units(); ++INP2) {
        const OBJ& unit = G.unit(INP2);
        if (unit.UVIS != 0) continue; // destroyed units stay off the field, whatever their HEALTH
        const auto look = lookOf(unit.TYP, G.RADAR);
        if (!look) continue; // a code without a unit type: not drawn, its values untouched
        if (unit.TYP == T_RADARMACH) {
            // Seeing a radar machine is what lets the air raids come; it is never forgotten.
            G.RDR = 1;
            G.RDRNMB = INP2;
        }
        SPRITE[static_cast<int>(*look)](G, INP2);
    }
}

} // namespace gs
