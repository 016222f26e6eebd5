#include <gtest/gtest.h>

#include "combat/damage.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

using test::TestGame;

struct Damage : ::testing::Test {
    TestGame t;
    Game& G = t.G;
    void SetUp() override {
        G.RAST = 60;
        G.URON = 1;
        G.GUNX = -20000; // out of every blast unless a test moves it
        G.GUNHP = 1000;
    }
    void roster(std::initializer_list<std::pair<i16, i16>> units) { // (X, HEALTH)
        G.NUMB = 0;
        for (auto [x, hp] : units) {
            OBJ& o = G.unit(++G.NUMB);
            o = OBJ{};
            o.X = x;
            o.HEALTH = hp;
        }
    }
    /// The damage rule and the splash, for a shot that stopped at column `col`.
    void hit(i16 ammo, int col) {
        G.SNARYAD = ammo;
        G.X = w16(col - G.GUNX);
        URONIX(G, w16(col));
        SPLASH(G);
    }
};

TEST_F(Damage, LossByDistanceForEveryAmmunitionBothStepsTogether) {
    struct Row { int d, fugasy, armor, nuclear; };
    const Row table[] = {
        {0, 501, 1001, 2001},  {39, 423, 884, 1884}, {40, 421, 1, 1881},   {59, 383, 1, 1824},
        {60, 380, 0, 1820},    {79, 342, 0, 1763},   {80, 0, 0, 1760},     {100, 0, 0, 1700},
        {249, 0, 0, 1253},     {250, 0, 0, 0},       {1000, 0, 0, 0},
    };
    for (const Row& r : table) {
        const int want[3] = {r.fugasy, r.armor, r.nuclear};
        for (i16 ammo = 1; ammo <= 3; ++ammo) {
            // The same loss on either side of the impact.
            roster({{w16(500 + r.d), 3000}, {w16(500 - r.d), 3000}});
            hit(ammo, 500);
            EXPECT_EQ(3000 - G.unit(1).HEALTH, want[ammo - 1]) << "d " << r.d << " ammo " << ammo;
            EXPECT_EQ(3000 - G.unit(2).HEALTH, want[ammo - 1]) << "d " << -r.d << " ammo " << ammo;
        }
    }
    EXPECT_EQ(G.GUNHP, 1000);
}

TEST_F(Damage, HitPointsGoNegativeWithoutClamping) {
    roster({{550, 100}});
    hit(A_FUGASY, 500);
    EXPECT_EQ(G.unit(1).HEALTH, -301);
}

TEST_F(Damage, ArmorBitingJustOutOfReachStillTakesTheSplash) {
    roster({{545, 1000}});
    G.SNARYAD = A_ARMORBITING;
    G.X = w16(500 - G.GUNX);
    URONIX(G, 500);
    EXPECT_EQ(G.unit(1).HEALTH, 1000);
    SPLASH(G);
    EXPECT_EQ(G.unit(1).HEALTH, 999);
}

TEST_F(Damage, TheGunLosesItsShareOncePerRosterEntry) {
    G.GUNX = 50;
    roster({{900, 500}, {950, 500}, {1000, 500}, {1050, 500}, {1100, 500}});
    G.GUNHP = 5000;
    hit(A_NUCLEAR, 150); // 100 px from the gun
    EXPECT_EQ(G.GUNHP, 5000 - 5 * 700);

    roster({{900, 500}, {950, 500}, {1000, 500}});
    G.unit(2).UVIS = 1; // destroyed entries count as well
    G.unit(2).HEALTH = -40;
    G.GUNHP = 1000;
    hit(A_FUGASY, 50);
    EXPECT_EQ(G.GUNHP, 1000 - 3 * 200);

    G.GUNHP = 1000;
    hit(A_ARMORBITING, 80); // 30 px: 1000 - 90 per entry
    EXPECT_EQ(G.GUNHP, 1000 - 3 * 910);

    G.GUNHP = 1000;
    hit(A_FUGASY, 130); // exactly 80 px: untouched
    EXPECT_EQ(G.GUNHP, 1000);
}

TEST_F(Damage, AnEmptyRosterSparesTheGun) {
    G.GUNX = 50;
    G.NUMB = 0;
    hit(A_NUCLEAR, 50);
    EXPECT_EQ(G.GUNHP, 1000);
}

TEST_F(Damage, UnknownAmmunitionDoesNoDamageButTheSplashStillBites) {
    G.GUNX = 480;
    for (i16 ammo : {0, 4, -1}) {
        roster({{500, 100}});
        G.GUNHP = 1000;
        hit(ammo, 500);
        EXPECT_EQ(G.unit(1).HEALTH, 99);
        EXPECT_EQ(G.GUNHP, 1000);
    }
}

TEST_F(Damage, DamageDependsOnTheColumnOnlyNotOnTheType) {
    G.NUMB = 12;
    for (int typ = 0; typ < 12; ++typ) {
        OBJ& o = G.unit(typ + 1);
        o = OBJ{};
        o.TYP = static_cast<i16>(typ);
        o.X = 530;
        o.HEALTH = 3000;
        o.GY = static_cast<i16>(10 * typ);
    }
    G.Y = 45; // a shell stopped high on a box does not hurt any less
    hit(A_FUGASY, 500);
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(G.unit(i).HEALTH, 3000 - 441);
}

TEST_F(Damage, SplashUsesItsRadiusAndDamage) {
    roster({{559, 10}, {560, 10}, {441, 10}, {440, 10}});
    G.RAST = 60;
    G.URON = 3;
    G.X = w16(500 - G.GUNX);
    SPLASH(G);
    EXPECT_EQ(G.unit(1).HEALTH, 7);
    EXPECT_EQ(G.unit(2).HEALTH, 10);
    EXPECT_EQ(G.unit(3).HEALTH, 7);
    EXPECT_EQ(G.unit(4).HEALTH, 10);
}

} // namespace
} // namespace gs
