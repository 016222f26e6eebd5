// The Campaign's progress kept between games: its text, its file, and --continue in the
// Campaign, with the progress kept in memory or in a scratch folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "game/modes.h"
#include "game/progress.h"
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

TEST(ProgressText, ReadsBackWhatItWroteAndRefusesAnythingElse) {
    const CampaignRecord r{9, "/home/a b/levels\nwith a line end"};
    const auto back = parseProgress(formatProgress(r));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->won, 9);
    EXPECT_EQ(back->levels, r.levels);
    const std::string good = formatProgress({12, "/x/level"});
    for (const std::string& bad : std::vector<std::string>{
             std::string(), std::string("garbage\n"), good.substr(0, good.size() - 1),
             good.substr(0, good.find("levels=")), "gorvenshale-campaign 2" + good.substr(22),
             "gorvenshale-campaign 1\nwon=0\nlevels=/x\n",
             "gorvenshale-campaign 1\nwon=-3\nlevels=/x\n",
             "gorvenshale-campaign 1\nwon=32767\nlevels=/x\n",
             "gorvenshale-campaign 1\nwon=4x\nlevels=/x\n",
             "gorvenshale-campaign 1\nwon=\nlevels=/x\n",
             "gorvenshale-campaign 1\nwon=4\nlevels=\n"})
        EXPECT_FALSE(parseProgress(bad)) << bad;
}

/// Progress kept in memory; `text` empty is nothing kept, `readError` a store that refuses.
struct MemoryStore {
    std::optional<std::string> text;
    std::string readError, writeError;
    int writes = 0;
    ProgressStore store() {
        return {"memory",
                [this](std::string& e) -> std::optional<std::string> {
                    e = readError;
                    return readError.empty() ? text : std::nullopt;
                },
                [this](const std::string& t, std::string& e) {
                    ++writes;
                    e = writeError;
                    if (writeError.empty()) text = t;
                    return writeError.empty();
                }};
    }
};

/// The Campaign in a folder of three levels, with a battle that wins or ends the game.
class Continue : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::current_path();
        char tmpl[] = "/tmp/gs-progress-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        fs::current_path(dir_);
        fs::create_directory("level");
        for (int lev = 1; lev <= 3; ++lev)
            std::ofstream("level/" + std::to_string(lev) + ".txt")
                << "1 30 5 4 3 900 500 5\nBriefing " << lev;
        levels_ = fs::canonical("level").string();
    }
    void TearDown() override {
        fs::current_path(home_);
        fs::remove_all(dir_);
    }
    /// Plays a Campaign; the levels its battles were on. Each
    /// battle is won until `wins` are, then the game is ended.
    std::vector<int> campaign(int wins, std::string* out = nullptr) {
        test::TestGame t("1\n1\n3\n");
        t.G.campaign = &progress_;
        std::vector<int> played;
        runGame(t.G, [&](Game& G) {
            played.push_back(G.LEV);
            return static_cast<int>(played.size()) <= wins ? Outcome::Won : Outcome::EndProgram;
        });
        if (out) *out = t.term.output;
        return played;
    }
    std::string record(int won, const std::string& levels) {
        return formatProgress({static_cast<i16>(won), levels});
    }
    fs::path home_, dir_;
    std::string levels_;
    CampaignProgress progress_;
};

TEST_F(Continue, WithoutItTheCampaignStartsAtOneAndKeepsEachLevelWon) {
    MemoryStore m;
    m.text = record(2, levels_); // not read without --continue
    progress_ = CampaignProgress{false, true, m.store()};
    EXPECT_EQ(campaign(1), (std::vector<int>{1, 2}));
    EXPECT_EQ(m.text, record(1, levels_));
    EXPECT_EQ(m.writes, 1);
}

TEST_F(Continue, StartsAfterTheLastLevelWonAndGoesOnFromThere) {
    MemoryStore m;
    m.text = record(1, levels_);
    progress_ = CampaignProgress{true, true, m.store()};
    std::string out;
    EXPECT_EQ(campaign(1, &out), (std::vector<int>{2, 3}));
    EXPECT_EQ(out.find("Briefing 1"), std::string::npos);
    EXPECT_EQ(m.text, record(2, levels_));
    // The same game's next Campaign goes on from what it won, also when nothing is written.
    progress_ = CampaignProgress{true, false, m.store()};
    test::TestGame t("1\n1\n1\n1\n3\n");
    t.G.campaign = &progress_;
    std::vector<int> played;
    runGame(t.G, [&](Game& G) {
        played.push_back(G.LEV);
        return played.size() == 2 ? Outcome::EndProgram : Outcome::Won;
    });
    EXPECT_EQ(played, (std::vector<int>{3, 1}));
    EXPECT_EQ(m.text, record(2, levels_)); // the replayed game wrote nothing
}

TEST_F(Continue, AGoneLevelOtherLevelsOrABadRecordStartAtOneSayingSoOnce) {
    const struct {
        std::optional<std::string> text;
        std::string readError, said;
    } cases[] = {
        {record(3, levels_), "",
         text::CONTINUE_NO_LEVEL + std::string("4") + text::CONTINUE_NO_LEVEL_TAIL},
        {record(1, "/elsewhere/level"), "",
         text::CONTINUE_OTHER_LEVELS + std::string("/elsewhere/level") +
             text::CONTINUE_OTHER_LEVELS_TAIL},
        {"gorvenshale-campaign 1\nwon=banana\n", "",
         text::PROGRESS_UNREADABLE + std::string("memory (not a Campaign progress)") +
             text::PROGRESS_UNREADABLE_TAIL},
        {std::string(), "",
         text::PROGRESS_UNREADABLE + std::string("memory (empty)") +
             text::PROGRESS_UNREADABLE_TAIL},
        {std::nullopt, "Permission denied",
         text::PROGRESS_UNREADABLE + std::string("memory (Permission denied)") +
             text::PROGRESS_UNREADABLE_TAIL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        MemoryStore m;
        m.text = c.text;
        m.readError = c.readError;
        progress_ = CampaignProgress{true, true, m.store()};
        std::string out;
        EXPECT_EQ(campaign(1, &out), (std::vector<int>{1, 2}));
        // Under the first briefing, where it is in sight, and only there.
        EXPECT_EQ(count(out, "Briefing 1\n" + c.said + "\n"), 1) << out;
        EXPECT_EQ(count(out, c.said), 1);
        EXPECT_EQ(m.text, record(1, levels_));
    }
    // Nothing kept yet: level 1, nothing said.
    MemoryStore none;
    progress_ = CampaignProgress{true, true, none.store()};
    std::string out;
    EXPECT_EQ(campaign(0, &out), (std::vector<int>{1}));
    EXPECT_EQ(count(out, "Campaign"), 1) << out; // the game-type menu's own
}

TEST_F(Continue, ProgressThatCannotBeKeptIsSaidOnceAndTheGameGoesOn) {
    MemoryStore m;
    m.writeError = "Read-only file system";
    progress_ = CampaignProgress{false, true, m.store()};
    std::string out;
    EXPECT_EQ(campaign(3, &out), (std::vector<int>{1, 2, 3}));
    const std::string said = text::PROGRESS_NOT_KEPT +
                             std::string("memory (Read-only file system)") +
                             text::PROGRESS_NOT_KEPT_TAIL;
    EXPECT_EQ(count(out, "Briefing 2\n" + said + "\n"), 1) << out;
    EXPECT_EQ(count(out, said), 1);
    EXPECT_EQ(count(out, text::CAMPAIGN_COMPLETE), 1);
    EXPECT_EQ(m.writes, 3);
}

TEST_F(Continue, TheFileIsReplacedWholeInFoldersMadeForIt) {
    const std::string path = (dir_ / "state" / "gorvenshale" / "campaign").string();
    ProgressStore file = progressFile(path);
    std::string error;
    EXPECT_FALSE(file.read(error)); // nothing kept yet is no error
    EXPECT_EQ(error, "");
    ASSERT_TRUE(file.write(record(4, levels_), error)) << error;
    ASSERT_TRUE(file.write(record(5, levels_), error)) << error;
    EXPECT_EQ(file.read(error), record(5, levels_));
    EXPECT_EQ(fs::status(dir_ / "state" / "gorvenshale").permissions() & fs::perms::all,
              fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(path + ".part"));

    // A folder in the file's place cannot be read; a file in the folder's place stops
    // the write: each says why.
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(file.read(error));
    EXPECT_EQ(error, "not a regular file");
    std::ofstream(dir_ / "blocked") << "a file";
    ProgressStore blocked = progressFile((dir_ / "blocked" / "campaign").string());
    EXPECT_FALSE(blocked.write("x", error));
    EXPECT_NE(error.find("not a directory"), std::string::npos) << error;
}

TEST(ProgressFilePath, FollowsXdgStateHomeElseTheHomeFolder) {
    const char* savedState = std::getenv("XDG_STATE_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string state = savedState ? savedState : "", home = savedHome ? savedHome : "";
    setenv("HOME", "/home/p", 1);
    setenv("XDG_STATE_HOME", "/s", 1);
    EXPECT_EQ(progressFilePath(), "/s/gorvenshale/campaign");
    setenv("XDG_STATE_HOME", "relative", 1);
    EXPECT_EQ(progressFilePath(), "/home/p/.local/state/gorvenshale/campaign");
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(progressFilePath(), "/home/p/.local/state/gorvenshale/campaign");
    unsetenv("HOME");
    EXPECT_EQ(progressFilePath(), "");
    savedState ? setenv("XDG_STATE_HOME", state.c_str(), 1) : unsetenv("XDG_STATE_HOME");
    savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
}

} // namespace
} // namespace gs
