// The Campaign continued by the built program: a level won is kept in the player's state
// folder, --continue starts after it, a replayed demo keeps nothing, and a state folder
// that cannot be written costs one line.
#include <gtest/gtest.h>

#include "state/texts.h"
#include "tests/support/run_game.h"

namespace {

using namespace gs::test;

/// Five fugasy shots that take level 1's three targets and two houses in order.
const std::string WIN_LEVEL_1 = "1\n22 32\n1\n27 38\n1\n31 42\n1\n35 40\n1\n40 38\n";
/// Play, Campaign, the key that leaves level 1's briefing, and level 1 won; the input
/// ends while level 2 waits.
const std::string CAMPAIGN_LEVEL_1 = "1\n1\n\n" + WIN_LEVEL_1;
const std::string LEVEL_1 = "Level 1 - Training ground", LEVEL_2 = "Level 2 - Armour on the road";

GameRun run(std::vector<std::string> args, const std::string& input, const fs::path& state) {
    args.insert(args.begin(), {"--headless", "--fast", "--seed", "3"});
    return runProgram(GS_BINARY, args, input, GS_SOURCE_DIR, {{"XDG_STATE_HOME", state.string()}});
}

TEST(ContinueE2E, ACampaignWonAtLevelOneContinuesAtLevelTwosBriefing) {
    const fs::path state = scratch("continue_state");
    const GameRun won = run({}, CAMPAIGN_LEVEL_1, state);
    ASSERT_EQ(won.status, 100) << won.err;
    ASSERT_EQ(count(won.out, gs::text::VICTORY), 1);
    EXPECT_TRUE(fs::is_regular_file(state / "gorvenshale" / "campaign"));

    const GameRun again = run({"--continue"}, "1\n1\n", state);
    EXPECT_EQ(again.status, 100) << again.err;
    EXPECT_EQ(count(again.out, LEVEL_1), 0) << again.out;
    EXPECT_EQ(count(again.out, "Select menu point\n1\n\n" + LEVEL_2), 1) << again.out;
    // Without --continue the Campaign starts at level 1 as always.
    EXPECT_EQ(count(run({}, "1\n1\n", state).out, LEVEL_1), 1);
    fs::remove_all(state);
}

TEST(ContinueE2E, AReplayedDemoKeepsNoProgress) {
    const fs::path dir = scratch("continue_demo");
    const std::string demo = (dir / "won.demo").string();
    const GameRun recorded = run({"--record", demo}, CAMPAIGN_LEVEL_1, dir / "recording");
    ASSERT_EQ(recorded.status, 100) << recorded.err;
    EXPECT_TRUE(fs::exists(dir / "recording" / "gorvenshale" / "campaign"));
    const GameRun replayed =
        runProgram(GS_BINARY, {"--headless", "--fast", "--replay", demo}, "", GS_SOURCE_DIR,
                   {{"XDG_STATE_HOME", (dir / "replay").string()}});
    EXPECT_EQ(replayed.status, 100) << replayed.err;
    EXPECT_EQ(replayed.out, recorded.out);
    EXPECT_FALSE(fs::exists(dir / "replay"));
    // A demo's Campaign starts at level 1 whatever the player has won since.
    const GameRun refused = run({"--replay", demo, "--continue"}, "", dir / "replay");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--continue"), std::string::npos) << refused.err;
    fs::remove_all(dir);
}

TEST(ContinueE2E, AStateFolderThatCannotBeWrittenCostsOneLine) {
    const fs::path state = scratch("continue_blocked");
    std::ofstream(state / "gorvenshale") << "a file where the folder goes";
    const GameRun won = run({}, CAMPAIGN_LEVEL_1, state);
    EXPECT_EQ(won.status, 100) << won.err;
    EXPECT_EQ(count(won.out, gs::text::PROGRESS_NOT_KEPT), 1) << won.out;
    EXPECT_EQ(count(won.out, LEVEL_2), 1);
    fs::remove_all(state);
}

} // namespace
