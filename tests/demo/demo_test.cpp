// Demo files, the recording and replaying terminals, and what --record and --replay
// settle before a game starts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "demo/demo_terminals.h"
#include "program/demo_setup.h"
#include "system/runtime_error.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name) {
    fs::path d = fs::temp_directory_path() / ("gs_demo_" + std::to_string(getpid()) + "_" + name);
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream text;
    text << f.rdbuf();
    return text.str();
}

std::vector<int> keysOf(std::string_view s) {
    std::vector<int> k;
    for (char c : s) k.push_back(c == '\n' ? KEY_ENTER : static_cast<unsigned char>(c));
    return k;
}

Demo sample() {
    Demo d;
    d.program = "0.1.0";
    d.seed = 4294967295u;
    d.width = 640;
    d.height = 480;
    d.keys = keysOf("1\n22 32\n");
    return d;
}

TEST(DemoFile, ReadableTextThatReadsBackToTheSameKeys) {
    Demo d = sample();
    d.keys.push_back(KEY_LEFT);
    d.keys.push_back('\\');
    d.keys.push_back(KEY_ENTER);
    d.keys.push_back(KEY_ENTER); // an empty answer
    for (int k : keysOf("y ")) d.keys.push_back(k);
    const std::string text = formatDemo(d);
    // One answer per line; the last keys had no Enter after them, and their final
    // blank is escaped so that no editor can drop it.
    const std::string keys = "1\n22 32\n\\{Left}\\\\\n\ny\\x20\\\n";
    ASSERT_EQ(text.substr(0, text.find("\\end")),
              "gorvenshale-demo 1 program=0.1.0 seed=4294967295 size=640x480\n" + keys);
    const std::string end = text.substr(text.find("\\end"));
    EXPECT_EQ(end.substr(0, 17), "\\end keys=14 fnv=");
    EXPECT_EQ(end.size(), 26u); // eight hexadecimal digits and the line end
    std::string error;
    auto back = parseDemo(text, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->keys, d.keys);
    EXPECT_EQ(back->program, "0.1.0");
    EXPECT_EQ(back->seed, 4294967295u);
    EXPECT_EQ(back->width * 10000 + back->height, 640 * 10000 + 480);
}

TEST(DemoFile, EveryKeyTheConsoleCanTakeSurvivesTheFile) {
    Demo d = sample();
    d.keys.clear();
    for (int k = 0; k < KEY_EXT + 256; ++k) d.keys.push_back(k); // bytes and function keys
    for (int i = 0; i < 300; ++i) d.keys.push_back('7');         // a row far longer than a line
    std::string text = formatDemo(d), error;
    for (char c : text) ASSERT_TRUE(c == '\n' || (c >= 0x20 && c <= 0x7E)) << "raw byte " << int(c);
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);) EXPECT_LE(l.size(), 90u) << l;
    auto back = parseDemo(text, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->keys, d.keys);
    // A file that an editor gave CR LF line ends is the same demo.
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    back = parseDemo(crlf, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->keys, d.keys);
    d.keys.clear(); // a game quit before the first key
    back = parseDemo(formatDemo(d), error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(back->keys.empty());
}

TEST(DemoFile, DamagedTruncatedOrForeignFilesAreRefusedWithOneLine) {
    const std::string good = formatDemo(sample());
    const std::string head = good.substr(0, good.find('\n') + 1);
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    const struct {
        std::string text, why;
    } bad[] = {
        {"", "empty"},
        {"GORVENSHALE-DEMO 1\n", "not a Gorvenshale demo"},
        {replaced("demo 1 ", "demo 2 "), "demo format version 2; this game reads version 1"},
        {replaced("demo 1 ", "demo one "), "no format version"},
        {replaced("seed=4294967295", "seed=4294967296"), "bad field 'seed=4294967296'"},
        {replaced("size=640x480", "size=640"), "bad field"},
        {replaced(" program=0.1.0", ""), "lacks"},
        {replaced("seed=4294967295", "seed=1 seed=2"), "bad field 'seed=2'"},
        {head + "1\n22 32\n", "truncated"},
        {good.substr(0, good.size() - 10), "bad \\end line"},
        {head, "truncated"},
        {head.substr(0, 40), "truncated"},
        {replaced("22 32", "22 31"), "sum differs"},
        {replaced("22 32", "22 3"), "counts 8 keys, 7 found"},
        {replaced("22 32", "22\t32"), "line 3: a raw byte"},
        {replaced("22 32", "22\\q32"), "unknown escape \\q"},
        {replaced("22 32", "22\\xZZ"), "unknown escape \\x"},
        {replaced("22 32", "\\{Left"), "unclosed"},
        {replaced("22 32", "\\{F13}"), "unknown key \\{F13}"},
        {replaced("22 32", "\\{256}"), "unknown key"},
        {good + "1\n", "after the \\end line"},
    };
    for (const auto& b : bad) {
        std::string error;
        EXPECT_FALSE(parseDemo(b.text, error)) << b.text;
        EXPECT_NE(error.find(b.why), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(loadDemo("/nonexistent/gs.demo", error));
    EXPECT_EQ(error, "No such file or directory");
}

TEST(DemoFile, AReplayReadsTheFirstLineFirstAndNoMoreThanADemoHolds) {
    const fs::path dir = scratch("caps");
    const std::string head = formatDemo(sample()).substr(0, formatDemo(sample()).find('\n') + 1);
    const struct {
        std::string text, why;
    } bad[] = {
        // One more key than a demo holds: blank lines are Enters.
        {head + std::string(MAX_DEMO_KEYS + 1, '\n'),
         "too long: more than " + std::to_string(MAX_DEMO_KEYS) + " keys"},
        {head + std::string(MAX_DEMO_LINE + 1, '7') + "\n",
         "damaged at line 2: a line longer than " + std::to_string(MAX_DEMO_LINE) + " bytes"},
        // The first line decides before anything after it is read.
        {"GORVENSHALE-DEMO 1\n" + std::string(MAX_DEMO_LINE + 1, '7'), "not a Gorvenshale demo"},
        {std::string(MAX_DEMO_LINE + 1, 'g'), "damaged at line 1: a line longer than"},
    };
    for (const auto& b : bad) {
        const fs::path file = dir / "big.demo";
        std::ofstream(file, std::ios::binary) << b.text;
        std::string fromFile, fromText;
        EXPECT_FALSE(loadDemo(file.string(), fromFile));
        EXPECT_FALSE(parseDemo(b.text, fromText));
        EXPECT_EQ(fromFile.rfind(b.why, 0), 0u) << fromFile;
        EXPECT_EQ(fromText, fromFile);
    }

    // A recording stops keeping keys where a demo is full, and says so.
    class Typist : public test::ScriptTerminal {
        int waitKey() override { return '7'; }
    } typist;
    Demo start = sample();
    start.keys.clear();
    RecordingTerminal rec(typist, (dir / "full.demo").string(), start);
    for (std::size_t k = 0; k <= MAX_DEMO_KEYS; ++k) rec.waitKey();
    EXPECT_EQ(rec.demo().keys.size(), MAX_DEMO_KEYS);
    EXPECT_NE(rec.error().find("outgrew a demo"), std::string::npos) << rec.error();
    fs::remove_all(dir);
}

TEST(DemoFileWriter, TheFileIsAlwaysTheWholeDemoAndGrowsInPlace) {
    const fs::path dir = scratch("writer");
    const std::string file = (dir / "game.demo").string();
    DemoFileWriter writer;
    Demo d = sample();
    d.keys.clear();
    auto inode = [&] {
        struct stat st {};
        stat(file.c_str(), &st);
        return st.st_ino;
    };
    std::string error;
    ASSERT_TRUE(writer.write(file, d, error)) << error;
    EXPECT_EQ(slurp(file), formatDemo(d));
    const auto first = inode();
    // Answers, a row longer than a line, an answer half typed (with a final blank, which
    // grows when escaped and shrinks the file when the Enter comes), editing keys.
    for (const std::string& step :
         {std::string("1\n"), std::string("22 32\n"), std::string(200, '9') + "\n",
          std::string("ab"), std::string("c \n"), std::string("y "), std::string("\n"),
          std::string("\\x\n")}) {
        for (int k : keysOf(step)) d.keys.push_back(k);
        if (step == "ab") d.keys.push_back(KEY_LEFT);
        ASSERT_TRUE(writer.write(file, d, error)) << error;
        ASSERT_EQ(slurp(file), formatDemo(d)) << "after " << step;
        EXPECT_EQ(inode(), first) << "the file was replaced, not added to";
    }
    // A new first line (the window's size, learnt late) puts the whole file in place anew.
    d.width = 800;
    for (int k : keysOf("3\n")) d.keys.push_back(k);
    ASSERT_TRUE(writer.write(file, d, error)) << error;
    EXPECT_EQ(slurp(file), formatDemo(d));
    EXPECT_NE(inode(), first);
    EXPECT_FALSE(fs::exists(file + ".part"));
    fs::remove_all(dir);
}

TEST(DemoFileWriter, ALeftoverPartFileIsRemovedNeverWrittenThrough) {
    // A killed recording left game.demo.part behind, and a backup has linked it since:
    // the next recording must not write into the backup's copy.
    const fs::path dir = scratch("leftover");
    const std::string file = (dir / "game.demo").string();
    std::ofstream(dir / "backup") << "the backup's copy\n";
    fs::create_hard_link(dir / "backup", file + ".part");
    std::string error;
    ASSERT_TRUE(saveDemo(file, sample(), error)) << error;
    EXPECT_EQ(slurp(dir / "backup"), "the backup's copy\n");
    EXPECT_FALSE(fs::exists(file + ".part"));
    EXPECT_EQ(slurp(file), formatDemo(sample()));
    fs::remove_all(dir);
}

TEST(RecordingTerminal, KeepsEveryKeyTakenAndWritesTheFileAtEachEnter) {
    const fs::path dir = scratch("rec");
    const std::string file = (dir / "game.demo").string();
    test::ScriptTerminal keyboard("12\x01L\n3");
    Demo start = sample();
    start.keys.clear();
    RecordingTerminal rec(keyboard, file, start);
    int saves = 0;
    rec.beforeSave = [&](Demo& d) {
        ++saves;
        d.width = 800; // the window's size, learnt late
    };
    rec.write("Select menu point");
    EXPECT_EQ(keyboard.output, "Select menu point");
    EXPECT_EQ(rec.waitKey(), '1');
    EXPECT_EQ(rec.pollKey(), '2');
    EXPECT_EQ(rec.waitKey(), KEY_LEFT);
    EXPECT_FALSE(fs::exists(file)); // nothing is answered yet
    EXPECT_EQ(rec.waitKey(), KEY_ENTER);
    std::string error;
    auto kept = loadDemo(file, error);
    ASSERT_TRUE(kept) << error;
    EXPECT_EQ(kept->keys, (std::vector<int>{'1', '2', KEY_LEFT, KEY_ENTER}));
    EXPECT_EQ(kept->width, 800);
    EXPECT_EQ(rec.pollKey(), '3');
    EXPECT_EQ(rec.pollKey(), std::nullopt); // nothing typed: nothing kept
    EXPECT_THROW(rec.waitKey(), RuntimeError);
    EXPECT_TRUE(rec.save());
    kept = loadDemo(file, error);
    ASSERT_TRUE(kept) << error;
    EXPECT_EQ(kept->keys.size(), 5u);
    EXPECT_EQ(saves, 2);
    EXPECT_FALSE(fs::exists(file + ".part"));

    // A file that cannot be written: the game goes on, the first reason is kept.
    RecordingTerminal lost(keyboard, (dir / "gone" / "x.demo").string(), start);
    EXPECT_FALSE(lost.save());
    EXPECT_EQ(lost.error(), "No such file or directory");
    fs::remove_all(dir);
}

TEST(RecordingTerminal, AFileRemovedReplacedOrCutShortIsWrittenAnewWhole) {
    const fs::path dir = scratch("vanish");
    const std::string file = (dir / "game.demo").string();
    test::ScriptTerminal keyboard("1\n2\n3\n4\n5\n");
    Demo start = sample();
    start.keys.clear();
    RecordingTerminal rec(keyboard, file, start);
    auto answer = [&] {
        while (rec.waitKey() != KEY_ENTER) {
        }
    };
    answer();
    EXPECT_EQ(rec.note(), "");
    std::string error;
    Demo other = sample(); // another game recording to the same name
    for (const std::function<void()>& loss : std::vector<std::function<void()>>{
             [&] { fs::remove(file); }, [&] { ASSERT_TRUE(saveDemo(file, other, error)) << error; },
             [&] { fs::resize_file(file, 20); }, [&] { fs::resize_file(file, 0); }}) {
        loss();
        answer();
        auto kept = loadDemo(file, error);
        ASSERT_TRUE(kept) << error;
        EXPECT_EQ(kept->keys, rec.demo().keys);
    }
    EXPECT_TRUE(rec.error().empty()) << rec.error();
    // Said once, however often it happened.
    EXPECT_EQ(rec.note(), "the recording " + file +
                              " was removed, replaced or cut short during the game; it was "
                              "written anew, whole");
    fs::remove_all(dir);
}

TEST(ReplayTerminal, TypesTheRecordedKeysThenTheKeyboardTakesOver) {
    test::ScriptTerminal keyboard("9");
    std::vector<int> paced;
    ReplayTerminal replay(keyboard, {'1', KEY_ENTER, KEY_HOME}, [&](int k) { paced.push_back(k); });
    EXPECT_EQ(replay.remaining(), 3u);
    EXPECT_EQ(replay.pollKey(), '1');
    EXPECT_EQ(replay.waitKey(), KEY_ENTER);
    EXPECT_EQ(replay.waitKey(), KEY_HOME);
    EXPECT_EQ(replay.remaining(), 0u);
    EXPECT_EQ(replay.waitKey(), '9'); // the keyboard's own key, not paced
    EXPECT_EQ(replay.pollKey(), std::nullopt);
    EXPECT_THROW(replay.waitKey(), RuntimeError); // the keyboard's input has ended
    EXPECT_EQ(paced, (std::vector<int>{'1', KEY_ENTER, KEY_HOME}));
    replay.write("echo");
    EXPECT_EQ(keyboard.output, "echo");
    // A watched replay pauses longer before an Enter than before a key of the answer.
    EXPECT_GT(replayPauseMs(KEY_ENTER), replayPauseMs('1'));
    EXPECT_GT(replayPauseMs('1'), 0);
}

TEST(DemoSetup, ReplayTakesTheDemosSeedAndSize) {
    const fs::path dir = scratch("setup");
    const std::string file = (dir / "a.demo").string();
    std::string error;
    Demo d = sample();
    d.program = programVersion();
    ASSERT_TRUE(saveDemo(file, d, error)) << error;

    Options o;
    o.replay = file;
    DemoSetup s;
    EXPECT_EQ(setUpDemos(o, s, 99), "");
    ASSERT_TRUE(s.replay);
    EXPECT_EQ(s.replay->keys, d.keys);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_TRUE(o.sizeGiven);
    EXPECT_EQ(o.width * 10000 + o.height, 640 * 10000 + 480);
    EXPECT_EQ(s.note, "");

    // A hand-made size the game could not open is refused like any damage.
    d.width = 99;
    ASSERT_TRUE(saveDemo(file, d, error)) << error;
    Options tiny;
    tiny.replay = file;
    DemoSetup s2;
    EXPECT_NE(setUpDemos(tiny, s2, 99).find("damaged: a picture size of 99x480"),
              std::string::npos);
    d.width = 640;

    // Another program version plays, with a note.
    d.program = "0.0.9";
    ASSERT_TRUE(saveDemo(file, d, error)) << error;
    Options old;
    old.replay = file;
    DemoSetup s3;
    EXPECT_EQ(setUpDemos(old, s3, 99), "");
    EXPECT_NE(s3.note.find("recorded by version 0.0.9"), std::string::npos);
    fs::remove_all(dir);
}

TEST(DemoSetup, RecordingPicksAClockSeedUnlessOneIsGiven) {
    const fs::path dir = scratch("setup_rec");
    const std::string a = (dir / "a.demo").string(), b = (dir / "b.demo").string();
    Options o;
    o.record = a;
    DemoSetup s;
    EXPECT_EQ(setUpDemos(o, s, 123456), "");
    EXPECT_EQ(o.seed, 123456u); // from now on the game is seeded as with --seed
    std::string error;
    auto written = loadDemo(a, error); // the empty recording is there at once
    ASSERT_TRUE(written) << error;
    EXPECT_EQ(written->seed, 123456u);
    EXPECT_EQ(written->program, programVersion());
    EXPECT_TRUE(written->keys.empty());

    Options given;
    given.record = b;
    given.seed = 7;
    EXPECT_EQ(setUpDemos(given, s, 123456), "");
    EXPECT_EQ(s.record->seed, 7u);
    fs::remove_all(dir);
}

} // namespace
} // namespace gs
