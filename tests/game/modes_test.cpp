// Menus and game modes, driven with a scripted console and a stand-in battle.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "game/modes.h"
#include "state/texts.h"
#include "system/runtime_error.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

int count(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (auto p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
    return n;
}

/// A battle that records what each level start handed it and answers from a script.
struct FakeBattle {
    std::vector<Outcome> answers;
    std::vector<State> seen;
    std::function<void(Game&)> play; ///< what the battle does to the state before answering
    BattleFn fn() {
        return [this](Game& G) {
            seen.push_back(G.state());
            if (play) play(G);
            Outcome o = answers.empty() ? Outcome::Won : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return o;
        };
    }
};

int runToError(test::TestGame& t, const BattleFn& b) {
    try {
        runGame(t.G, b);
    } catch (const RuntimeError& e) {
        return e.code;
    }
    return 0;
}

TEST(Menus, RefuseAnswersOutsideOneToThreeAndOneLineAnswersBoth) {
    test::TestGame t("0\n4\n255\n257\n");
    u8 M = 0;
    MENU(t.G, M);
    EXPECT_EQ(M, 1); // 257 keeps its low 8 bits
    EXPECT_EQ(count(t.term.output, "Select menu point"), 4);

    // "1 3": the game-type menu takes the 3 without waiting; then the difficulty is asked.
    test::TestGame b("1 3\n");
    FakeBattle fb;
    EXPECT_EQ(runToError(b, fb.fn()), RE_INPUT_ENDED);
    EXPECT_EQ(count(b.term.output, "Select game type"), 1);
    EXPECT_EQ(count(b.term.output, "3.Scirmish"), 1);
    EXPECT_EQ(count(b.term.output, "Select an enemy difficulty (1-very easy, 2-easy, "
                                   "3-normal, 4-hard, 5-very hard)"),
              1);
}

TEST(Menus, AboutWaitsForAKeyThatStartsTheNextAnswerAndQuitEnds) {
    FakeBattle b;
    test::TestGame a("2\n3\n");
    runGame(a.G, b.fn());
    EXPECT_TRUE(a.G.LOGIC);
    EXPECT_EQ(count(a.term.output, aboutLine()), 1);
    EXPECT_EQ(count(a.term.output, "1.Play"), 2);
    EXPECT_NE(aboutLine().find(std::string("Gorvenshale version ") + GS_VERSION),
              std::string::npos);

    test::TestGame e("2\n\n3\n"); // Enter leaves About; the empty line is no answer
    runGame(e.G, b.fn());
    EXPECT_EQ(count(e.term.output, "1.Play"), 2);
}

TEST(NotANumber, TheMenusComeBackSayingSoAndDropTheRestOfTheLine) {
    // "x" and "-1" at the main menu; then 1, and "y" at the game-type menu, whose 3 is
    // dropped with the rest of its line: the game-type menu asks again, and the next
    // line's 3 chooses the Skirmish.
    test::TestGame t("x\n-1\n1 y 3\n3\n");
    FakeBattle b;
    EXPECT_EQ(runToError(t, b.fn()), RE_INPUT_ENDED); // the difficulty was never answered
    const std::string& out = t.term.output;
    EXPECT_EQ(count(out, text::NOT_A_NUMBER), 3);
    EXPECT_EQ(count(out, "1.Play"), 3);
    EXPECT_EQ(count(out, text::SELECT_GAME_TYPE), 2);
    EXPECT_EQ(count(out, text::SELECT_DIFFICULTY), 1);
    // The line stands in the redrawn menu, after its prompt, before the next answer.
    const std::string redrawn =
        std::string(text::SELECT_MENU_POINT) + "\n" + text::NOT_A_NUMBER + "\n";
    EXPECT_EQ(count(out, redrawn + "-1\n"), 1);
    EXPECT_EQ(count(out, redrawn + "1 y 3\n"), 1);
    EXPECT_EQ(count(out, redrawn + "3\n"), 1);
    // An answer that is a number but out of range brings the menu back without it.
    test::TestGame r("0\nq\n4\n3\n");
    runGame(r.G, b.fn());
    EXPECT_EQ(count(r.term.output, text::NOT_A_NUMBER), 1);
    EXPECT_EQ(count(r.term.output, "1.Play"), 4);
    EXPECT_TRUE(r.G.LOGIC);
}

TEST(SkirmishRoster, DrawsInOrderAndKeepsTheBudgetRules) {
    // Difficulty 1, first roll 9: 10 is not above 13, nothing is bought, the slot keeps its type.
    test::TestGame t;
    t.G.unit(1).TYP = T_SAU;
    t.G.CTS = 10;
    t.rnd.script({9, 17, 5, 4, 2, 599, 99});
    generateSkirmish(t.G);
    const State& s = t.G;
    EXPECT_EQ((std::vector<int>{s.NUMB, s.CTS, s.unit(1).TYP, s.unit(1).X}),
              (std::vector<int>{1, -3, T_SAU, 217}));
    EXPECT_EQ((std::vector<int>{s.FS, s.BS, s.TS, s.MAXGUNHP, s.GUNHP, s.GUNX}),
              (std::vector<int>{25, 14, 2, 1299, 1299, 109}));
    EXPECT_EQ(t.rnd.asked, (std::vector<int>{11, 800, 20, 10, 3, 600, 100}));

    // A budget equal to the cost buys nothing; rolls 0 and 3 are free and still take a slot.
    test::TestGame f;
    f.G.CTS = 12;
    f.G.unit(2).TYP = T_BUNKER;
    f.rnd.fallback = 0;
    f.rnd.script({6});
    generateSkirmish(f.G);
    EXPECT_EQ(f.G.NUMB, 1);
    EXPECT_EQ(f.G.CTS, 0);
    f.G.CTS = 10;
    f.rnd.script({0, 1, 3, 1, 1, 1, 4, 1});
    generateSkirmish(f.G);
    EXPECT_EQ(f.G.NUMB, 4);
    EXPECT_EQ(f.G.CTS, 4);
    EXPECT_EQ(
        (std::vector<int>{f.G.unit(1).TYP, f.G.unit(2).TYP, f.G.unit(3).TYP, f.G.unit(4).TYP}),
        (std::vector<int>{T_MISHEN, T_BUNKER, T_HOUSE, T_TRANSPORTBTR}));
}

TEST(SkirmishRoster, NeverMoreThanTwentyUnits) {
    test::TestGame t;
    t.G.CTS = 50;
    t.rnd.fallback = 0; // every roll is 0: free units forever, but the roster holds 20
    generateSkirmish(t.G);
    EXPECT_EQ(t.G.NUMB, MAXUNITS);
    EXPECT_EQ(t.G.CTS, 50);
    std::vector<int> expected;
    for (int i = 0; i < MAXUNITS; ++i) expected.insert(expected.end(), {11, 800});
    expected.insert(expected.end(), {20, 10, 3, 600, 100});
    EXPECT_EQ(t.rnd.asked, expected); // no 21st roll: the stocks follow the 20th unit
}

TEST(Skirmish, RefusedDifficultyAsksAgainAndReplayKeepsTheLostBattle) {
    test::TestGame t("1\n3\n0\n6\nhard\n2\n3\n");
    t.rnd.fallback = 1; // roll 1 is a house for 2 points: 20 -> 8 houses
    FakeBattle b;
    b.answers = {Outcome::Replay, Outcome::Won};
    b.play = [](Game& G) {
        G.unit(1).X = 42;
        G.unit(1).HEALTH = -10;
        G.unit(1).UVIS = 1;
        G.FS = 3;
        G.GUNHP = 1;
    };
    runGame(t.G, b.fn());
    EXPECT_EQ(count(t.term.output, "Select an enemy difficulty"), 4);
    EXPECT_EQ(count(t.term.output,
                    std::string("hard\n") + text::NOT_A_NUMBER + "\n" + text::SELECT_DIFFICULTY),
              1);
    ASSERT_EQ(b.seen.size(), 2u);
    EXPECT_EQ(b.seen[0].EIL, 2);
    EXPECT_EQ(b.seen[0].NUMB, 8);
    EXPECT_EQ(b.seen[0].unit(1).TYP, T_HOUSE);
    EXPECT_EQ(b.seen[0].unit(1).HEALTH, 450);
    EXPECT_EQ(b.seen[0].RAST, 60); // the per-level reset ran
    const State& replay = b.seen[1];
    EXPECT_EQ(replay.unit(1).X, 42);       // units stand where the lost battle left them
    EXPECT_EQ(replay.unit(1).HEALTH, 450); // back at full hit points
    EXPECT_EQ(replay.unit(1).UVIS, 0);
    EXPECT_EQ(replay.FS, 3); // spent shells stay spent
    EXPECT_EQ(replay.GUNHP, replay.MAXGUNHP);
    EXPECT_EQ(count(t.term.output, "1.Play"), 2); // won: back to the main menu
}

/// Modes that read level files run in a directory of their own.
class FileModes : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::current_path();
        char tmpl[] = "/tmp/gs-modes-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        fs::current_path(dir_);
        fs::create_directory("level");
        put(1, "1 30 5 4 3 900 500 5\nLevel one");
        put(2, "2 40 6 5 0 800 600 1 700 10\nLevel two");
        put(-3, "1 50 1 1 1 100 300 0\nMinus three");
    }
    void TearDown() override {
        fs::current_path(home_);
        fs::remove_all(dir_);
    }
    static void put(int lev, const std::string& content) {
        std::ofstream("level/" + std::to_string(lev) + ".txt") << content;
    }
    fs::path home_, dir_;
};

TEST_F(FileModes, CampaignRunsTheLevelsInOrderAndEndsWithPraise) {
    test::TestGame t("1\n1\n3\n");
    FakeBattle b;
    b.answers = {Outcome::Replay, Outcome::Won, Outcome::Won};
    b.play = [](Game& G) { G.FS = 0; };
    runGame(t.G, b.fn());
    ASSERT_EQ(b.seen.size(), 3u);
    EXPECT_EQ(b.seen[1].LEV, 1);
    EXPECT_EQ(b.seen[1].FS, 5); // the replay reads the file again
    EXPECT_EQ(b.seen[1].unit(1).HEALTH, 1000);
    EXPECT_EQ(b.seen[1].GUNHP, 900);
    EXPECT_EQ(b.seen[2].LEV, 2);
    EXPECT_EQ(b.seen[2].unit(2).HEALTH, 500);
    // Level 3 has no file: the campaign is complete, a key returns to the main menu.
    EXPECT_EQ(count(t.term.output, text::CAMPAIGN_COMPLETE), 1);
    EXPECT_EQ(count(t.term.output, "1.Play"), 2);

    test::TestGame n("1\n1\n");
    b.answers = {Outcome::EndProgram};
    runGame(n.G, b.fn());
    EXPECT_TRUE(n.G.LOGIC);
    EXPECT_EQ(count(n.term.output, "1.Play"), 1);

    fs::remove("level/1.txt"); // a missing first level keeps its run-time error
    test::TestGame m("1\n1\n");
    EXPECT_EQ(runToError(m, b.fn()), RE_FILE_NOT_FOUND);
}

TEST_F(FileModes, CustomLevelTakesAnyNumber) {
    test::TestGame t("1\n2\nminus\n-3\n3\n");
    FakeBattle b;
    runGame(t.G, b.fn());
    ASSERT_EQ(b.seen.size(), 1u);
    EXPECT_EQ(b.seen[0].LEV, -3);
    EXPECT_EQ(b.seen[0].GUNX, 50);
    EXPECT_EQ(count(t.term.output,
                    std::string("minus\n") + text::NOT_A_NUMBER + "\n" + text::ENTER_LEVEL_NUMBER),
              1);
    EXPECT_EQ(count(t.term.output, "Minus three"), 1);
    EXPECT_EQ(count(t.term.output, "1.Play"), 2); // won: back to the main menu
}

TEST_F(FileModes, CustomLevelWithoutAFileSaysSoAndWaitsLikeAbout) {
    // The key 3 leaves the wait and answers the main menu that comes back: Quit.
    test::TestGame t("1\n2\n$d\n3\n");
    FakeBattle b;
    runGame(t.G, b.fn());
    EXPECT_TRUE(t.G.LOGIC);
    EXPECT_TRUE(b.seen.empty());
    const std::string said = "$d\nThere is no level 13. Press any key.\n\n<CLS>\n";
    EXPECT_EQ(count(t.term.output, said), 1) << t.term.output;
    EXPECT_EQ(count(t.term.output, "1.Play"), 2);

    // The installation's faults keep their run-time errors: a level file that cannot be
    // read, a missing level directory.
    fs::create_directory("level/7.txt");
    test::TestGame u("1\n2\n7\n");
    EXPECT_EQ(runToError(u, b.fn()), RE_ACCESS_DENIED);
    fs::remove_all("level");
    test::TestGame m("1\n2\n7\n");
    EXPECT_EQ(runToError(m, b.fn()), RE_PATH_NOT_FOUND);
}

} // namespace
} // namespace gs
