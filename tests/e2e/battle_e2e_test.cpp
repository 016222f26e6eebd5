// Whole games of the built binary on level 1, played through a pipe in fast headless mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "frontend/png/snapshots.h"
#include "state/texts.h"
#include "tests/support/run_game.h"

namespace gs {
namespace {

using namespace gs::test;

constexpr const char* SHOT_Q = text::SHOT_QUESTION;
constexpr const char* REPLAY_Q = text::REPLAY_QUESTION;
constexpr const char* BRIEFING = "Level 1 - Training ground";
/// Five fugasy shots that take level 1's three targets and two houses in order.
const std::string WIN_LEVEL_1 = "1\n22 32\n1\n27 38\n1\n31 42\n1\n35 40\n1\n40 38\n";
/// A shell dropped on the gun's own wheel: 200 hit points per roster entry, 1000 in all.
const std::string SELF_HIT = "1\n0 0\n";

/// Runs the game from the repository root with `input` piped in, seed 7.
GameRun play(const std::string& input, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--headless", "--fast", "--seed", "7"};
    args.insert(args.end(), extra.begin(), extra.end());
    return runGame(args, input);
}

TEST(BattleE2E, CustomLevelOneIsWonAndBackToTheMainMenu) {
    const GameRun r = play("1\n2\n1\n\n" + WIN_LEVEL_1 + "3\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(count(r.out, BRIEFING), 1);
    EXPECT_EQ(count(r.out, SHOT_Q), 5);
    EXPECT_EQ(count(r.out, text::VICTORY), 1);
    EXPECT_EQ(count(r.out, REPLAY_Q), 0);
    const auto won = r.out.find(text::VICTORY);
    EXPECT_NE(r.out.find("3.Quit", won), std::string::npos) << "main menu after the victory";
}

TEST(BattleE2E, CampaignReachesTheBattleAndNEndsTheProgram) {
    const GameRun r = play("1\n1\n\n" + SELF_HIT + "n\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(count(r.out, BRIEFING), 1);
    EXPECT_EQ(count(r.out, text::DEAD), 1);
    EXPECT_EQ(count(r.out, REPLAY_Q), 1);
    EXPECT_EQ(r.out.find("3.Quit", r.out.find(text::DEAD)), std::string::npos) << "no menu after N";
}

TEST(BattleE2E, LostLevelIsReplayedFromItsStartAndThenWon) {
    const GameRun r = play("1\n2\n1\n\n" + SELF_HIT + "maybe\ny\n\n" + WIN_LEVEL_1 + "3\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(count(r.out, BRIEFING), 2);
    EXPECT_EQ(count(r.out, REPLAY_Q), 2); // "maybe" is asked again
    EXPECT_EQ(count(r.out, text::VICTORY), 1);
    EXPECT_LT(r.out.find(text::DEAD), r.out.rfind(BRIEFING));
}

TEST(BattleE2E, SnapshotsShowTheFieldAtTheStartAndTheWreckAtTheEnd) {
    const fs::path dir = scratch("snaps") / "png";
    const GameRun r = play("1\n2\n1\n\n" + WIN_LEVEL_1 + "3\n", {"--snapshots", dir.string()});
    ASSERT_EQ(r.status, 0) << r.out;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 6u); // one wait per answer at least, and the closing picture

    int w = 0, h = 0;
    std::vector<std::uint8_t> px;
    Palette pal{};
    std::string err;
    auto at = [&](int x, int y) { return px[static_cast<std::size_t>(y * w + x)]; };

    ASSERT_TRUE(readIndexedPng(files.front().string(), w, h, px, pal, err)) << err;
    EXPECT_EQ(pal[15], (std::array<std::uint8_t, 3>{252, 252, 252}));
    EXPECT_EQ(at(300, 480), 15); // the first target's post stands
    EXPECT_EQ(at(840, 490), 15); // the far house's left wall
    EXPECT_EQ(at(860, 490), 0);  // and its hollow inside
    // The closing picture, taken right before the window closes on the victory: the
    // far house has burst into yellow fire balls.
    ASSERT_TRUE(readIndexedPng(files.back().string(), w, h, px, pal, err)) << err;
    int fire = 0;
    for (int y = 440; y < 560; ++y)
        for (int x = 800; x < 920; ++x) fire += at(x, y) == 14;
    EXPECT_GT(fire, 500);
    fs::remove_all(dir.parent_path());
}

} // namespace
} // namespace gs
