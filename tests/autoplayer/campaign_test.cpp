// The campaign as shipped in level/: every file reads as a sound level, the levels
// introduce all twelve unit types up to a full roster, and the automatic player wins the
// whole campaign, level after level, the way the Campaign mode runs it.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <vector>

#include "autoplayer/autoplayer.h"
#include "game/battle.h"
#include "game/level_file.h"
#include "game/modes.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

constexpr int LAST_LEVEL = 12;

/// The briefing lines a level shows, without the empty rest of the last number's line.
std::vector<std::string> briefingOf(const std::string& console) {
    const auto from = console.rfind("<CLS>\n");
    std::istringstream in(console.substr(from == std::string::npos ? 0 : from + 6));
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
        if (!l.empty()) lines.push_back(l);
    return lines;
}

TEST(CampaignLevels, EachReadsAsASoundLevelWithAShortBriefing) {
    std::set<int> types;
    for (int lev = 0; lev <= LAST_LEVEL; ++lev) {
        SCOPED_TRACE("level " + std::to_string(lev));
        test::TestGame t;
        Game& G = t.G;
        G.LEV = static_cast<i16>(lev);
        ASSERT_EQ(probeLevelFile(G.levels, G.LEV), 0);
        loadLevel(G);
        const auto brief = briefingOf(t.term.output);
        EXPECT_GE(brief.size(), 2u);
        EXPECT_LE(brief.size(), 6u);
        for (const auto& l : brief) EXPECT_LE(l.size(), 90u) << l;
        EXPECT_GE(G.NUMB, 1);
        EXPECT_LE(G.NUMB, MAXUNITS);
        EXPECT_GT(G.MAXGUNHP, 0);
        EXPECT_GE(G.FS + G.BS + G.TS, 2) << "the last shell can never win a level";
        for (int i = 1; i <= G.units(); ++i) {
            const OBJ& o = G.unit(i);
            EXPECT_GE(o.TYP, 0);
            EXPECT_LT(o.TYP, UNIT_TYPES);
            // On the field and well right of the gun, so that no unit overruns it
            // before the player has had a few shots.
            EXPECT_GT(o.X - G.GUNX, 150) << "unit " << i;
            EXPECT_LT(o.X, 1280) << "unit " << i;
            if (lev > 0) types.insert(o.TYP);
        }
        if (lev == LAST_LEVEL) {
            EXPECT_EQ(G.NUMB, MAXUNITS) << "the final battle fields a full roster";
        }
    }
    EXPECT_EQ(types.size(), static_cast<std::size_t>(UNIT_TYPES)) << "every unit type appears";
    EXPECT_NE(probeLevelFile(LevelDirectory{}, LAST_LEVEL + 1), 0)
        << "the campaign ends after its last level";
}

TEST(CampaignLevels, UnitTypesAreIntroducedStepByStep) {
    // No level brings more than three types the campaign has not shown before.
    std::set<int> seen;
    for (int lev = 1; lev <= LAST_LEVEL; ++lev) {
        test::TestGame t;
        t.G.LEV = static_cast<i16>(lev);
        loadLevel(t.G);
        int fresh = 0;
        for (int i = 1; i <= t.G.units(); ++i) fresh += seen.insert(t.G.unit(i).TYP).second;
        EXPECT_LE(fresh, 3) << "level " << lev;
    }
}

TEST(CampaignProof, TheAutomaticPlayerWinsEveryLevelInTurn) {
    AutoGame a(2026);
    std::vector<int> won;
    std::vector<std::size_t> shots;
    const BattleFn fight = [&](Game& G) {
        const std::size_t before = a.term.shots.size();
        const Outcome o = battle(G);
        if (o == Outcome::Won) won.push_back(G.LEV);
        shots.push_back(a.term.shots.size() - before);
        return o;
    };
    campaign(a.G, fight);

    std::vector<int> all;
    for (int lev = 1; lev <= LAST_LEVEL; ++lev) all.push_back(lev);
    EXPECT_EQ(won, all) << "won " << won.size() << " levels, lost at level "
                        << (won.empty() ? 1 : won.back() + 1);
    EXPECT_FALSE(a.G.LOGIC) << "the campaign ended in praise, not in the end of the program";
    // Later levels are real battles: they take more shots than the first lessons.
    ASSERT_EQ(shots.size(), static_cast<std::size_t>(LAST_LEVEL));
    EXPECT_GT(shots[LAST_LEVEL - 1], shots[0]);
}

} // namespace
} // namespace gs
