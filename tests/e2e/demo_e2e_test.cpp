// Recorded games of the built binary: a game kept with --record plays back with --replay
// to the same console output and the same pictures; a demo's keys hand over to the
// keyboard; bad demo files stop the program before anything is played; and the shipped
// demos still play as they did.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "console/console.h"
#include "demo/demo_file.h"
#include "state/texts.h"
#include "tests/support/run_game.h"

namespace {

using namespace gs::test;

/// Runs the game from the repository root, headless and fast.
GameRun run(std::vector<std::string> args, const std::string& input) {
    args.insert(args.begin(), {"--headless", "--fast"});
    return runGame(args, input);
}

/// Every snapshot of a run, in order, as bytes.
std::vector<std::string> pictures(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<std::string> v;
    for (const auto& f : files) v.push_back(slurp(f));
    return v;
}

/// Five fugasy shots that take level 1's three targets and two houses in order.
const std::string WIN_LEVEL_1 = "1\n22 32\n1\n27 38\n1\n31 42\n1\n35 40\n1\n40 38\n";
/// A shell dropped on the gun's own wheel destroys it.
const std::string SELF_HIT = "1\n0 0\n";
/// Custom level 1: lost, played again, won; then Quit.
const std::string LOST_AND_REPLAYED = "1\n2\n1\n\n" + SELF_HIT + "y\n\n" + WIN_LEVEL_1 + "3\n";

TEST(DemoE2E, RecordedGamesPlayBackToTheSameOutputAndPictures) {
    const struct {
        std::string name, input;
        std::string seed; ///< empty: the recording takes its seed from the clock
        int status;
    } games[] = {
        {"campaign_lost", "1\n1\n\n" + SELF_HIT + "n\n", "11", 0},
        {"custom_won", "1\n2\n1\n\n" + WIN_LEVEL_1 + "3\n", "", 0}, // seed from the clock
        {"replayed", LOST_AND_REPLAYED, "3", 0},
        // Typos refused at every question; a level number without a file.
        {"typos", "x\n1 y\n2\n13\n\n1\n2\n0X1\n1\n\nq\n1\n22 abc\n0 0\nn\n", "8", 0},
        // A Skirmish with line editing (Backspace, Esc), cut off while the game waits.
        {"skirmish",
         "1\n3\n4\n\n1\n3\x7f"
         "40 45\n2\nxx\x1b"
         "50 60\n1\n",
         "5", 100},
    };
    for (const auto& g : games) {
        SCOPED_TRACE(g.name);
        const fs::path dir = scratch(g.name);
        const std::string demo = (dir / "game.demo").string();
        std::vector<std::string> rec;
        if (!g.seed.empty()) rec = {"--seed", g.seed};
        for (const std::string& a :
             {std::string("--record"), demo, std::string("--snapshots"), (dir / "a").string()})
            rec.push_back(a);
        const GameRun original = run(rec, g.input);
        ASSERT_EQ(original.status, g.status) << original.err;
        const std::string file = slurp(demo);
        ASSERT_EQ(file.rfind("gorvenshale-demo 1 program=" GS_VERSION " seed=", 0), 0u) << file;
        if (!g.seed.empty()) {
            EXPECT_NE(file.find(" seed=" + g.seed + " "), std::string::npos);
        }

        const GameRun replay = run({"--replay", demo, "--snapshots", (dir / "b").string()}, "");
        EXPECT_EQ(replay.status, g.status) << replay.err;
        EXPECT_EQ(replay.out, original.out); // the echo of every replayed key included
        const auto a = pictures(dir / "a"), b = pictures(dir / "b");
        ASSERT_GE(a.size(), 2u);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(a[i] == b[i]) << "picture " << i;
        fs::remove_all(dir);
    }
}

TEST(DemoE2E, WhenTheKeysRunOutTheKeyboardTakesOverAndTheWholeGameIsRecorded) {
    const fs::path dir = scratch("continue");
    const std::string whole = (dir / "whole.demo").string(), part = (dir / "part.demo").string(),
                      cont = (dir / "cont.demo").string();
    const GameRun full = run({"--seed", "9", "--record", whole}, LOST_AND_REPLAYED);
    ASSERT_EQ(full.status, 0) << full.err;
    ASSERT_EQ(count(full.out, gs::text::VICTORY), 1);

    // The first part of the game only: its input ends while the battle waits.
    const std::size_t cut = LOST_AND_REPLAYED.find("y\n") + 2;
    const GameRun first = run({"--seed", "9", "--record", part}, LOST_AND_REPLAYED.substr(0, cut));
    ASSERT_EQ(first.status, 100);

    // Its replay, then the rest typed: the same game as the whole run, and the new
    // recording is the whole game, which plays alone.
    const GameRun rest = run({"--replay", part, "--record", cont}, LOST_AND_REPLAYED.substr(cut));
    EXPECT_EQ(rest.status, 0) << rest.err;
    EXPECT_EQ(rest.out, full.out);
    EXPECT_EQ(slurp(cont), slurp(whole));
    const GameRun again = run({"--replay", cont}, "");
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, full.out);

    // Replaying a demo into itself keeps it whole as well.
    const GameRun self = run({"--replay", part, "--record", part}, LOST_AND_REPLAYED.substr(cut));
    EXPECT_EQ(self.status, 0);
    EXPECT_EQ(slurp(part), slurp(whole));
    fs::remove_all(dir);
}

TEST(DemoE2E, ADemoWithUpKeysRecallsTheSameAnswersAsTheyWereTyped) {
    // The answers typed in full, and the same game where Up brought them back: the level
    // number "1" (Up twice past the "2"), the ammunition after the replay question (Up
    // past "y" and "0 0"), and the shot onto the gun's wheel (Up past "1" and "y").
    const std::string typed = "1\n2\n1\n\n1\n0 0\ny\n\n1\n0 0\nn\n3\n";
    const int UP = gs::KEY_UP;
    std::vector<int> keys;
    auto add = [&](const std::string& text) {
        for (char c : text)
            keys.push_back(c == '\n' ? gs::KEY_ENTER : static_cast<unsigned char>(c));
    };
    add("1\n2\n");
    keys.insert(keys.end(), {UP, UP});
    add("\n\n1\n0 0\ny\n\n");
    keys.insert(keys.end(), {UP, UP, UP});
    add("\n");
    keys.insert(keys.end(), {UP, UP, UP});
    add("\nn\n3\n");
    gs::Demo d;
    d.program = GS_VERSION;
    d.seed = 7;
    d.keys = keys;
    const fs::path dir = scratch("history");
    const std::string demo = (dir / "up.demo").string();
    std::string error;
    ASSERT_TRUE(gs::saveDemo(demo, d, error)) << error;

    const GameRun original = run({"--seed", "7"}, typed);
    ASSERT_EQ(original.status, 0) << original.err;
    ASSERT_EQ(count(original.out, gs::text::DEAD), 2) << original.out;
    const GameRun replay = run({"--replay", demo}, "");
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, original.out);
    fs::remove_all(dir);
}

TEST(DemoE2E, BadDemoFilesStopTheProgramBeforeAnythingIsPlayed) {
    const fs::path dir = scratch("bad");
    const std::string good = (dir / "good.demo").string();
    ASSERT_EQ(run({"--seed", "1", "--record", good}, "1\n2\n1\n\n" + SELF_HIT + "n\n").status, 0);
    const std::string text = slurp(good);
    auto variant = [&](const std::string& name, const std::string& content) {
        const std::string p = (dir / name).string();
        std::ofstream(p, std::ios::binary) << content;
        return p;
    };
    std::string damaged = text;
    damaged[damaged.find("0 0")] = '9';
    std::string other = text;
    other.replace(0, std::string("gorvenshale-demo 1").size(), "gorvenshale-demo 7");
    const struct {
        std::vector<std::string> args;
        std::string why;
    } bad[] = {
        {{"--replay", (dir / "missing.demo").string()}, "No such file or directory"},
        {{"--replay", variant("other", other)}, "demo format version 7"},
        {{"--replay", variant("cut", text.substr(0, text.size() / 2))}, "truncated"},
        {{"--replay", variant("damaged", damaged)}, "damaged"},
        {{"--replay", good, "--seed", "2"}, "recorded with seed 1, not 2"},
        {{"--replay", good, "--size", "640x480"}, "recorded at size 1280x1024"},
        {{"--record", (dir / "no" / "such.demo").string()}, "cannot record to"},
    };
    for (const auto& b : bad) {
        const GameRun r = run(b.args, "1\n1\n\n");
        EXPECT_EQ(r.status, 2) << b.why;
        EXPECT_EQ(r.out, "") << b.why; // not even the main menu
        EXPECT_EQ(count(r.err, "\n"), 1) << r.err;
        EXPECT_EQ(r.err.rfind("gorvenshale: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(b.why), std::string::npos) << r.err;
    }
    fs::remove_all(dir);
}

TEST(DemoE2E, RecordingReplacesNothingButARegularFile) {
    // A FIFO, a link to one, a link to nothing, and a FIFO where the new file would be
    // written first: each refused before play, each left as it was.
    const fs::path dir = scratch("targets"), fifo = dir / "fifo", real = dir / "real.demo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "stuck.demo.part").c_str(), 0600), 0);
    std::ofstream(real) << "an old recording\n";
    fs::create_symlink(fifo, dir / "to_fifo");
    fs::create_symlink(dir / "nothing", dir / "to_nothing");
    fs::create_symlink(real, dir / "to_real");
    for (const auto& [path, why] : std::vector<std::pair<fs::path, std::string>>{
             {fifo, "not a regular file"},
             {dir / "to_fifo", "not a regular file"},
             {dir / "to_nothing", "a symbolic link to a file that does not exist"},
             {dir / "stuck.demo", (dir / "stuck.demo.part").string() + " is in the way: not a "
                                                                       "regular file"}}) {
        const GameRun g = run({"--record", path.string()}, "3\n");
        EXPECT_EQ(g.status, 2) << path;
        EXPECT_EQ(g.err, "gorvenshale: cannot record to " + path.string() + ": " + why + "\n");
    }
    EXPECT_TRUE(fs::is_fifo(fifo) && fs::is_fifo(dir / "stuck.demo.part"));
    EXPECT_TRUE(fs::is_symlink(dir / "to_fifo") && fs::is_symlink(dir / "to_nothing"));
    EXPECT_FALSE(fs::exists(dir / "nothing") || fs::exists(dir / "stuck.demo"));

    // A link to a regular file records into that file, and the link stays.
    const GameRun linked = run({"--record", (dir / "to_real").string()}, "2\n\n3\n");
    EXPECT_EQ(linked.status, 0) << linked.err;
    EXPECT_TRUE(fs::is_symlink(dir / "to_real"));
    EXPECT_EQ(run({"--replay", real.string()}, "").out, linked.out);
    fs::remove_all(dir);
}

/// Runs the game recording to `demo` with files limited to `limit` bytes, as a full disk
/// would stop them: the output goes to /dev/null (it is no file), errors to a pipe.
GameRun runWithFileLimit(const std::string& demo, rlim_t limit, const std::string& input) {
    const fs::path in = fs::path(demo).parent_path() / "input";
    std::ofstream(in, std::ios::binary) << input;
    int errPipe[2];
    if (pipe(errPipe) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit size{limit, limit};
        const int from = open(in.c_str(), O_RDONLY), out = open("/dev/null", O_WRONLY);
        if (from < 0 || out < 0 || setrlimit(RLIMIT_FSIZE, &size) != 0 || chdir(GS_SOURCE_DIR) != 0)
            _exit(120);
        dup2(from, 0);
        dup2(out, 1);
        dup2(errPipe[1], 2);
        close(errPipe[0]);
        execl(GS_BINARY, GS_BINARY, "--headless", "--fast", "--seed", "3", "--record", demo.c_str(),
              static_cast<char*>(nullptr));
        _exit(121);
    }
    close(errPipe[1]);
    GameRun r;
    char buf[4096];
    for (ssize_t n; (n = read(errPipe[0], buf, sizeof buf)) > 0;)
        r.err.append(buf, static_cast<std::size_t>(n));
    close(errPipe[0]);
    int st = 0;
    if (waitpid(pid, &st, 0) == pid)
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return r;
}

TEST(DemoE2E, AFullDiskStopsTheRecordingAndLeavesItAWholeDemo) {
    const fs::path dir = scratch("full");
    const std::string input = "1\n2\n1\n\n" + WIN_LEVEL_1 + "3\n";
    const std::string whole = (dir / "whole.demo").string(), cut = (dir / "cut.demo").string();
    ASSERT_EQ(run({"--seed", "3", "--record", whole}, input).status, 0);
    const auto full = fs::file_size(whole);
    // Room for the start of the game only: an append runs into the limit part-way.
    const GameRun g = runWithFileLimit(cut, full - 20, input);
    EXPECT_EQ(g.status, 2) << g.err;
    std::string why;
    const auto kept = gs::loadDemo(cut, why), all = gs::loadDemo(whole, why);
    ASSERT_TRUE(kept && all) << why;
    const auto& k = kept->keys; // whole answers only, the first of the game
    ASSERT_TRUE(k.size() > 4 && k.size() < all->keys.size() && k.back() == gs::KEY_ENTER);
    EXPECT_TRUE(std::equal(k.begin(), k.end(), all->keys.begin()));
    EXPECT_EQ(g.err, "gorvenshale: the recording " + cut +
                         " could not be written: File too large; recording stopped, and the file "
                         "keeps the game's first " +
                         std::to_string(std::count(k.begin(), k.end(), gs::KEY_ENTER)) +
                         " answers\n");
    EXPECT_FALSE(fs::exists(cut + ".part"));
    fs::remove_all(dir);
}

TEST(DemoE2E, AReplayRefusesWhatIsNotARegularFileUnread) {
    // /dev/zero would be read for ever; a FIFO with no writer would block the start.
    const fs::path dir = scratch("sources");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const std::string& source :
         {std::string("/dev/zero"), (dir / "fifo").string(), dir.string()}) {
        const GameRun g = run({"--replay", source}, "3\n");
        EXPECT_EQ(g.status, 2) << source;
        EXPECT_EQ(g.out, "");
        EXPECT_EQ(g.err, "gorvenshale: cannot replay " + source + ": not a regular file\n");
    }
    fs::remove_all(dir);
}

TEST(DemoE2E, BytesOfADemoFileReachTheTerminalEscaped) {
    // Escape sequences in a demo would clear the screen and retitle the terminal.
    const fs::path file = scratch("escaped") / "hostile.demo";
    gs::Demo foreign;
    foreign.program = "0.0.9\x1b]0;owned\x07\x9b"
                      "2J";
    const std::string head = "gorvenshale-demo 1 program=x seed=1 size=640x480";
    for (const auto& [text, shown] : std::vector<std::pair<std::string, std::string>>{
             {gs::formatDemo(foreign), "version 0.0.9\\x1B]0;owned\\x07\\x9B2J;"},
             {head + " \x1b[2J=1\n", "bad field '\\x1B[2J=1'"},
             {head + "\n\\{\x1b[2J}\n", "unknown key \\{\\x1B[2J}"},
             {head + "\n\\\x9b\n", "unknown escape \\\\x9B"}}) {
        std::ofstream(file, std::ios::binary) << text;
        const GameRun g = run({"--replay", file.string()}, "3\n");
        EXPECT_NE(g.err.find(shown), std::string::npos) << g.err;
        EXPECT_TRUE(std::all_of(g.err.begin(), g.err.end(), [](char c) {
            return c == '\n' || (c >= 0x20 && c < 0x7F);
        })) << g.err;
    }
    fs::remove_all(file.parent_path());
}

TEST(DemoE2E, ShippedDemosPlayAsTheirTranscriptsSay) {
    // campaign.demo: the automatic player wins the whole Campaign. skirmish.demo: Custom
    // level 1 lost, played again and won, then a very hard Skirmish won.
    const fs::path demos = fs::path(GS_SOURCE_DIR) / "tests" / "demos";
    for (const std::string name : {"campaign", "skirmish"}) {
        SCOPED_TRACE(name);
        const std::string transcript = slurp(demos / (name + ".out"));
        ASSERT_FALSE(transcript.empty());
        const GameRun r = run({"--replay", (demos / (name + ".demo")).string()}, "");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.out == transcript)
            << "the replay's console output differs from " << name << ".out";
    }
}

} // namespace
