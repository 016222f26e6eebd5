// The per-level reset and the maximum hit points: what they write, and what they leave.
#include <gtest/gtest.h>

#include <vector>

#include "state/state.h"

namespace gs {
namespace {

TEST(MaximalHp, EveryTypeGetsItsMaximumAndOtherSlotsKeepTheirs) {
    State s;
    s.NUMB = 14;
    for (int i = 1; i <= 12; ++i) s.unit(i).TYP = static_cast<i16>(i - 1);
    s.unit(13) = OBJ{.TYP = 12, .MAXHP = 77}; // no such type: its old value stays
    s.unit(14) = OBJ{.TYP = -1, .MAXHP = 66};
    s.unit(15) = OBJ{.TYP = T_BUNKER, .MAXHP = 5}; // beyond NUMB: not part of the level
    s.unit(1).HEALTH = -40;                        // hit points belong to the level start
    s.MAXGUNHP = 900;
    s.GUNHP = 3;
    MAXIMALHP(s);
    std::vector<int> got;
    for (int i = 1; i <= 15; ++i) got.push_back(s.unit(i).MAXHP);
    EXPECT_EQ(got, (std::vector<int>{100, 450, 1500, 3000, 800, 1000, 1400, 1200, 150, 1000, 500,
                                     500, 77, 66, 5}));
    EXPECT_EQ(s.unit(1).HEALTH, -40);
    EXPECT_EQ(s.GUNHP, 900);

    s.NUMB = 300; // a roster never holds more than 20: the loop stops there
    MAXIMALHP(s);
    s.NUMB = -5;
    s.GUNHP = 1;
    MAXIMALHP(s);
    EXPECT_EQ(s.GUNHP, 900);
}

TEST(AntiCheat, ResetsTheLevelFlagsAndNothingElse) {
    State s;
    s.NUMB = 2;
    for (int i = 1; i <= 3; ++i) s.unit(i).UVIS = 1;
    s.VICT = s.LOSE = true;
    s.RAST = 7;
    s.URON = 9;
    s.SNARYAD = A_NUCLEAR;
    s.RADAR = 2;
    s.Q = 1;
    s.OBRU = 15;
    s.RDR = 1;
    s.RDRNMB = 4;
    s.FS = 3;
    s.unit(1).HEALTH = -20;
    s.unit(1).GX = 0;
    ANTICHEAT(s);
    EXPECT_EQ((std::vector<int>{s.unit(1).UVIS, s.unit(2).UVIS, s.unit(3).UVIS}),
              (std::vector<int>{0, 0, 1}));
    EXPECT_FALSE(s.VICT);
    EXPECT_FALSE(s.LOSE);
    EXPECT_EQ((std::vector<int>{s.RAST, s.URON, s.SNARYAD, s.RADAR, s.Q}),
              (std::vector<int>{60, 1, A_FUGASY, 1, 0}));
    // The escalation, the radar seen in an earlier level, the stocks and the roster's
    // other fields are not the reset's business.
    EXPECT_EQ((std::vector<int>{s.OBRU, s.RDR, s.RDRNMB, s.FS, s.unit(1).HEALTH}),
              (std::vector<int>{15, 1, 4, 3, -20}));
}

TEST(GameState, StartsEmptyAndStoresTheLowSixteenBits) {
    State s;
    EXPECT_EQ(s.unit(20).TYP, T_MISHEN); // a slot never given a type is a target
    EXPECT_FALSE(s.MOVING);
    EXPECT_FALSE(s.LOGIC);
    EXPECT_EQ(w16(20 * 3000), -5536);
    EXPECT_EQ(w16(65536), 0);
    EXPECT_EQ(w16(-32769), 32767);
    EXPECT_EQ(w8(257), 1);
}

} // namespace
} // namespace gs
