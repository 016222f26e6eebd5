// Unit sprites: the combat values each look gives, where the looks lie on the field,
// what drawing state they leave, and how PAINTOBJ walks the roster.
#include <gtest/gtest.h>

#include "render/sprites.h"
#include "tests/render/picture_util.h"
#include "tests/support/harness.h"

namespace gs::test {
namespace {

struct LookCase {
    Look look;
    i16 typ;
    i16 radar;                    ///< RADAR while drawing (matters only for the radar machine)
    int left, right, top, bottom; ///< drawn extent: x offsets from X, absolute rows
};

const LookCase LOOKS[] = {
    {Look::MISHEN, 0, 1, -10, 10, 440, 500},       {Look::HOUSE, 1, 1, -20, 20, 460, 500},
    {Look::BUILDING, 2, 1, -40, 30, 450, 500},     {Look::BUNKER, 3, 1, -40, 30, 440, 500},
    {Look::TRANSPORTBTR, 4, 1, -31, 31, 473, 499}, {Look::LTANK, 5, 1, -35, 35, 474, 499},
    {Look::OTANK, 6, 1, -50, 47, 469, 499},        {Look::SAU, 7, 1, -45, 45, 460, 500},
    {Look::ROCKETMAN, 8, 1, -14, 8, 485, 499},     {Look::RSZO, 9, 1, -45, 50, 434, 499},
    {Look::ENEMYGUN, 10, 1, -30, 18, 452, 500},    {Look::RADARMACH1, 11, 1, -30, 30, 470, 499},
    {Look::RADARMACH2, 11, 2, -30, 100, 445, 499},
};

/// A fresh picture with one unit of the given look in slot 1, its values poisoned.
struct OneUnit : TestGame {
    OneUnit(const LookCase& c, int x) {
        openGraph();
        G.NUMB = 1;
        G.RADAR = c.radar;
        OBJ& o = G.unit(1);
        o = OBJ{};
        o.X = w16(x);
        o.TYP = c.typ;
        o.HEALTH = 100;
        o.SPEED = o.GX = o.GY = o.SHOT = o.DIST = -7;
    }
};

TEST(Sprites, EachLookArmsItsUnitAndLiesWithinItsExtent) {
    for (const LookCase& c : LOOKS) {
        const UnitKind& kind = unitKind(c.look);
        SCOPED_TRACE(kind.name);
        OneUnit t(c, 400);
        PAINTOBJ(t.G);
        const OBJ& o = t.G.unit(1);
        EXPECT_EQ(o.SPEED, kind.arms.SPEED);
        EXPECT_EQ(o.GX, kind.arms.GX);
        EXPECT_EQ(o.GY, kind.arms.GY);
        EXPECT_EQ(o.SHOT, kind.arms.SHOT);
        EXPECT_EQ(o.DIST, kind.arms.DIST);
        EXPECT_EQ(litBox(t.gr), (Box{400 + c.left, c.top, 400 + c.right, c.bottom}));
    }
}

TEST(Sprites, LooksDependOnlyOnX) {
    // An odd X draws the very same picture one pixel further right.
    for (const LookCase& c : LOOKS) {
        SCOPED_TRACE(unitKind(c.look).name);
        OneUnit even(c, 400), odd(c, 401);
        even.G.unit(1).HEALTH = 1;
        odd.G.OBRU = 9;
        PAINTOBJ(even.G);
        PAINTOBJ(odd.G);
        int diffs = 0;
        for (int y = 400; y < 520; ++y)
            for (int x = 300; x < 560; ++x) diffs += even.gr.pixel(x, y) != odd.gr.pixel(x + 1, y);
        EXPECT_EQ(diffs, 0);
    }
}

TEST(Sprites, DrawInTheColourInForceLeaveTheStateAloneAndEraseCleanly) {
    // Movement erases units by drawing them again in black before drawing them moved.
    for (const LookCase& c : LOOKS) {
        if (c.typ == T_BUNKER) continue;
        SCOPED_TRACE(unitKind(c.look).name);
        OneUnit t(c, 400);
        t.gr.SetColor(5);
        t.gr.SetFillStyle(2, 6);
        PAINTOBJ(t.G);
        EXPECT_EQ(t.gr.color(), 5);
        EXPECT_EQ(t.gr.fillPattern(), 2);
        EXPECT_EQ(t.gr.fillColor(), 6);
        EXPECT_EQ(boxOf(t.gr, [](int p) { return p != 0 && p != 5; }), Box{});
        t.gr.SetColor(0);
        PAINTOBJ(t.G);
        EXPECT_EQ(litBox(t.gr), Box{});
    }
}

TEST(Sprites, SinglePixelsAndTheBuildingsReversedWindowAreDrawn) {
    struct Px {
        i16 typ;
        int dx, y;
    };
    // The one-pixel strokes, and the window whose corners are given right first: the
    // rectangle's top runs to x2-1 and its bottom starts at x1+1, so X+4 on row 455 and
    // X+26 on row 475 are lit only if the corners are passed as they stand.
    const Px lit[] = {{T_SAU, 45, 496},     {T_RSZO, -45, 499},    {T_ROCKETMAN, -8, 493},
                      {T_BUILDING, 4, 455}, {T_BUILDING, 26, 475}, {T_BUILDING, 25, 475}};
    for (const Px& p : lit) {
        SCOPED_TRACE(testing::Message() << "type " << p.typ << " at X" << p.dx << ", " << p.y);
        LookCase c{Look::MISHEN, p.typ, 1, 0, 0, 0, 0};
        OneUnit t(c, 400);
        PAINTOBJ(t.G);
        EXPECT_EQ(t.gr.pixel(400 + p.dx, p.y), 15);
    }
}

TEST(Sprites, OffScreenUnitsAreStillArmed) {
    for (int x : {-200, 1500, 32767}) {
        SCOPED_TRACE(x);
        OneUnit t(LOOKS[7], x); // the self-propelled gun
        PAINTOBJ(t.G);
        EXPECT_EQ(t.G.unit(1).DIST, 800);
        EXPECT_EQ(t.G.unit(1).SPEED, 35);
    }
    // Offsets wrap with the 16-bit X, as every game value does: the deployed radar at the
    // top of the range has its lattice and axle run from 32767 round to the far negative
    // columns, so those strokes cross the whole window.
    OneUnit t(LOOKS[12], 32767);
    PAINTOBJ(t.G);
    EXPECT_EQ(litBox(t.gr), (Box{0, 445, 1279, 494}));
    EXPECT_EQ(t.G.unit(1).SHOT, 5);
}

TEST(Sprites, APartlyVisibleUnitIsClippedAtTheLeftEdge) {
    OneUnit t(LOOKS[6], 10); // the heavier tank reaches X-50
    PAINTOBJ(t.G);
    EXPECT_EQ(litBox(t.gr), (Box{0, 469, 57, 499}));
}

// ---- The bunker: the one unit with colours of its own ----

struct BunkerAt : OneUnit {
    BunkerAt() : OneUnit(LOOKS[3], 400) {}
};

TEST(Bunker, FlagColoursAndStateLeftWhateverTheColourInForce) {
    for (int before : {0, 14}) {
        SCOPED_TRACE(before);
        BunkerAt t;
        t.gr.SetColor(before);
        t.gr.SetFillStyle(1, 4); // as the health bars leave it
        PAINTOBJ(t.G);
        const Graph& g = t.gr;
        EXPECT_EQ(g.color(), 15);
        EXPECT_EQ(g.fillPattern(), 1);
        EXPECT_EQ(g.fillColor(), 9);
        // Block, pole and flag outline in the colour in force.
        EXPECT_EQ(g.pixel(360, 490), before); // block's left edge
        EXPECT_EQ(g.pixel(400, 460), before); // pole
        EXPECT_EQ(g.pixel(410, 440), before); // flag's top
        EXPECT_EQ(g.pixel(410, 450), before); // flag's bottom
        // Stripes over the outline's edges, red on odd rows and white on even ones.
        for (int y = 441; y <= 449; ++y) {
            const int stripe = y % 2 ? 4 : 15;
            EXPECT_EQ(g.pixel(420, y), stripe) << "row " << y;
            EXPECT_EQ(g.pixel(410, y), stripe) << "row " << y;
            EXPECT_EQ(g.pixel(400, y), stripe) << "row " << y;
        }
        // The light blue corner by the pole, 7 by 7, over the stripes.
        EXPECT_EQ(countColour(g, 9, 390, 430, 430, 460), 49);
        EXPECT_EQ(countColour(g, 9, 401, 441, 407, 447), 49);
    }
}

TEST(Bunker, TheErasePassTurnsWhiteAfterTheBunker) {
    // In the black pass every unit after a live bunker is drawn in white.
    TestGame t;
    t.openGraph();
    t.G.NUMB = 3;
    t.G.unit(1) = OBJ{.X = 200, .TYP = T_LTANK};
    t.G.unit(2) = OBJ{.X = 400, .TYP = T_BUNKER};
    t.G.unit(3) = OBJ{.X = 600, .TYP = T_LTANK};
    t.gr.SetColor(15);
    PAINTOBJ(t.G);
    t.gr.SetColor(0);
    PAINTOBJ(t.G);
    EXPECT_EQ(countColour(t.gr, 15, 150, 400, 250, 510), 0); // first tank erased
    EXPECT_EQ(litBox(t.gr).x1, 635);                         // second tank white again
    EXPECT_EQ(t.gr.pixel(600, 484), 15);
}

// ---- PAINTOBJ: the roster walk ----

TEST(PaintObj, SkipsDestroyedUnitsAndDrawsUnitsAtZeroHealth) {
    TestGame t;
    t.openGraph();
    t.G.NUMB = 2;
    t.G.unit(1) = OBJ{.X = 200, .TYP = T_HOUSE, .HEALTH = 300, .UVIS = 1, .GX = 0, .GY = 0};
    t.G.unit(2) = OBJ{.X = 600, .TYP = T_HOUSE, .HEALTH = -50, .UVIS = 0};
    PAINTOBJ(t.G);
    EXPECT_EQ(t.G.unit(1).GX, 0); // the battle zeroed its hit box; it stays zero
    EXPECT_EQ(t.G.unit(2).GX, 40);
    EXPECT_EQ(litBox(t.gr), (Box{580, 460, 620, 500}));
}

TEST(PaintObj, UnknownTypeCodesDrawAndWriteNothing) {
    for (int typ : {-1, 12, 255, -32768, 32767}) {
        SCOPED_TRACE(typ);
        LookCase c{Look::MISHEN, w16(typ), 1, 0, 0, 0, 0};
        OneUnit t(c, 400);
        t.G.unit(1).GX = 33;
        PAINTOBJ(t.G);
        const OBJ& o = t.G.unit(1);
        EXPECT_EQ(o.GX, 33);
        EXPECT_EQ(o.SPEED, -7);
        EXPECT_EQ(o.DIST, -7);
        EXPECT_EQ(litBox(t.gr), Box{});
        EXPECT_EQ(t.G.RDR, 0);
    }
}

TEST(PaintObj, RosterSizeOutsideTheRosterIsHarmless) {
    TestGame t;
    t.openGraph();
    for (int i = 1; i <= MAXUNITS; ++i) t.G.unit(i) = OBJ{.X = w16(60 * i), .TYP = T_ROCKETMAN};
    t.G.NUMB = 0;
    PAINTOBJ(t.G);
    EXPECT_EQ(litBox(t.gr), Box{});
    EXPECT_EQ(t.G.unit(1).DIST, 0);
    t.G.NUMB = -4;
    PAINTOBJ(t.G);
    EXPECT_EQ(litBox(t.gr), Box{});
    t.G.NUMB = 300; // only the twenty slots there are
    PAINTOBJ(t.G);
    EXPECT_EQ(t.G.unit(MAXUNITS).DIST, 650);
}

TEST(PaintObj, RadarBookkeeping) {
    TestGame t;
    t.openGraph();
    t.G.RADAR = 1;
    t.G.NUMB = 4;
    t.G.unit(1) = OBJ{.X = 300, .TYP = T_LTANK};
    t.G.unit(2) = OBJ{.X = 500, .TYP = T_RADARMACH};
    t.G.unit(3) = OBJ{.X = 700, .TYP = T_RADARMACH};
    t.G.unit(4) = OBJ{.X = 900, .TYP = T_LTANK};
    PAINTOBJ(t.G);
    EXPECT_EQ(t.G.RDR, 1);
    EXPECT_EQ(t.G.RDRNMB, 3); // the one drawn last
    EXPECT_EQ(t.G.unit(2).SPEED, 50);

    // Any RADAR other than 1 shows the deployed look.
    for (int radar : {2, 0, -1}) {
        t.G.RADAR = w16(radar);
        PAINTOBJ(t.G);
        EXPECT_EQ(t.G.unit(3).SHOT, 5) << radar;
        EXPECT_EQ(t.G.unit(3).DIST, 800) << radar;
    }

    // Once the radar machines are gone the raids stay unlocked and the index stays put.
    t.G.unit(2).UVIS = 1;
    t.G.unit(3).UVIS = 1;
    t.G.RDR = 1;
    PAINTOBJ(t.G);
    EXPECT_EQ(t.G.RDR, 1);
    EXPECT_EQ(t.G.RDRNMB, 3);
}

TEST(Sprites, ProceduresWriteOnlyTheirOwnSlot) {
    TestGame t;
    t.openGraph();
    t.G.unit(2).X = 400;
    LTANK(t.G, 2);
    EXPECT_EQ(t.G.unit(2).DIST, 200);
    EXPECT_EQ(t.G.unit(1).DIST, 0);
    EXPECT_EQ(t.G.unit(3).DIST, 0);
    // A slot number outside the roster is refused rather than read out of bounds.
    LTANK(t.G, 0);
    LTANK(t.G, 21);
    LTANK(t.G, -1);
    EXPECT_EQ(t.G.OBJS[0].DIST, 0);
}

} // namespace
} // namespace gs::test
