#include <gtest/gtest.h>

#include "combat/damage.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

struct Damage : ::testing::Test {
    test::TestGame t;
    Game& G = t.G;
    void SetUp() override {
        G.RAST = 60;
        G.URON = 1;
        G.GUNX = -20000; // out of every blast unless a test moves it
        G.GUNHP = 1000;
    }
    void roster(std::initializer_list<i16> xs, i16 hp = 3000) {
        G.NUMB = 0;
        for (i16 x : xs) {
            OBJ& o = G.unit(++G.NUMB);
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
    struct Row {
        int d, loss[3];
    }; // fugasy, armor-biting, tactical nuclear
    const Row table[] = {
        {0, {501, 1001, 2001}}, {39, {423, 884, 1884}}, {40, {421, 1, 1881}},
        {59, {383, 1, 1824}},   {60, {380, 0, 1820}},   {79, {342, 0, 1763}},
        {80, {0, 0, 1760}},     {249, {0, 0, 1253}},    {250, {0, 0, 0}},
    };
    for (const Row& r : table)
        for (i16 ammo = 1; ammo <= 3; ++ammo) {
            roster({w16(500 + r.d), w16(500 - r.d)}); // either side of the impact
            hit(ammo, 500);
            EXPECT_EQ(3000 - G.unit(1).HEALTH, r.loss[ammo - 1]) << "d " << r.d << " ammo " << ammo;
            EXPECT_EQ(3000 - G.unit(2).HEALTH, r.loss[ammo - 1])
                << "d " << -r.d << " ammo " << ammo;
        }
    EXPECT_EQ(G.GUNHP, 1000);
    roster({550}, 100); // hit points go below zero; nothing here clamps them
    hit(A_FUGASY, 500);
    EXPECT_EQ(G.unit(1).HEALTH, -301);
}

TEST_F(Damage, TheGunLosesItsShareOncePerRosterEntryWrecksIncluded) {
    G.GUNX = 50;
    roster({900, 950, 1000, 1050, 1100});
    G.GUNHP = 5000;
    hit(A_NUCLEAR, 150); // 100 px from the gun
    EXPECT_EQ(G.GUNHP, 5000 - 5 * 700);
    roster({900, 950, 1000});
    G.unit(2).UVIS = 1;
    G.unit(2).HEALTH = -40;
    G.GUNHP = 1000;
    hit(A_FUGASY, 50);
    EXPECT_EQ(G.GUNHP, 1000 - 3 * 200);
    G.GUNHP = 1000;
    hit(A_ARMORBITING, 80); // 30 px
    EXPECT_EQ(G.GUNHP, 1000 - 3 * 910);
    G.GUNHP = 1000;
    hit(A_FUGASY, 130); // exactly 80 px: untouched
    EXPECT_EQ(G.GUNHP, 1000);
}

TEST_F(Damage, UnknownAmmunitionDoesNoDamageButTheSplashStillBites) {
    G.GUNX = 480;
    for (i16 ammo : {0, 4, -1}) {
        roster({500}, 100);
        G.GUNHP = 1000;
        hit(ammo, 500);
        EXPECT_EQ(G.unit(1).HEALTH, 99);
        EXPECT_EQ(G.GUNHP, 1000);
    }
}

} // namespace
} // namespace gs
