// The game in a real terminal: tmux runs it in an 80 x 25 pane, send-keys types and
// capture-pane reads the screen. Checks the menus at their columns and rows, the echo and
// the line editing keys, the key that leaves a wait starting the next answer, and the
// terminal's settings back as they were after Quit, a run-time error and Ctrl-C.
//
// Every wait polls the screen until the expected text is there, with a bounded timeout.
#include <gtest/gtest.h>

#include "state/texts.h"
#include "tests/support/run_game.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace gs {
namespace {

using namespace gs::test;

namespace fs = std::filesystem;

constexpr auto TIMEOUT = std::chrono::seconds(30);

std::string quote(const std::string& s) {
    std::string r = "'";
    for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

/// One tmux server of its own running the game through a small script that records the
/// terminal settings before and after the game and the game's exit status.
class Pane {
public:
    /// Runs the game in `cwd`, the repository root unless a test brings its own levels.
    explicit Pane(const std::string& name, const fs::path& cwd = GS_SOURCE_DIR) {
        dir_ = fs::temp_directory_path() / ("gs_tmux_" + std::to_string(getpid()) + "_" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        sock_ = "gs_" + std::to_string(getpid()) + "_" + name;
        std::ofstream(dir_ / "tmux.conf") << "set -g remain-on-exit on\nset -g status off\n";
        // The script itself survives Ctrl-C (its trap runs a command, so the game gets
        // the default action, as from a shell prompt) to report what the game left.
        std::ofstream(dir_ / "run.sh") << "trap 'true' INT\n"
                                       << "cd " << quote(cwd.string()) << "\n"
                                       << "stty -g > " << quote((dir_ / "before").string()) << "\n"
                                       << quote(GS_BINARY) << " --headless --fast --seed 7\n"
                                       << "echo \"EXIT=$?\"\n"
                                       << "stty -g > " << quote((dir_ / "after").string()) << "\n"
                                       << "stty -a > " << quote((dir_ / "after_a").string()) << "\n"
                                       << "echo DONE\n";
        tmux("-f " + quote((dir_ / "tmux.conf").string()) + " new-session -d -s g -x 80 -y 25 " +
             quote("sh " + quote((dir_ / "run.sh").string())));
    }
    ~Pane() {
        tmux("kill-server");
        fs::remove_all(dir_);
    }

    std::string tmux(const std::string& args, int* status = nullptr) const {
        return shell("tmux -L " + sock_ + " " + args + " 2>&1", status);
    }
    /// Types text literally.
    void type(const std::string& text) const { tmux("send-keys -t g -l " + quote(text)); }
    /// Presses named keys (Enter, BSpace, Escape, Left, C-c ...).
    void press(const std::string& keys) const { tmux("send-keys -t g " + keys); }

    std::vector<std::string> screen() const {
        std::vector<std::string> lines;
        std::istringstream in(tmux("capture-pane -p -t g"));
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        lines.resize(25);
        return lines;
    }
    /// The screen and the lines scrolled off it, for output longer than the screen.
    bool scrolledText(const std::string& what) const {
        const auto end = std::chrono::steady_clock::now() + TIMEOUT;
        while (std::chrono::steady_clock::now() < end) {
            if (tmux("capture-pane -p -S -200 -t g").find(what) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    std::string text() const {
        std::string all;
        for (const auto& l : screen()) all += l + "\n";
        return all;
    }
    /// The cursor as 1-based column and row.
    std::pair<int, int> cursor() const {
        int x = -1, y = -1;
        std::sscanf(tmux("display -p -t g '#{cursor_x} #{cursor_y}'").c_str(), "%d %d", &x, &y);
        return {x + 1, y + 1};
    }
    /// Polls the screen until `ok` holds; false after the timeout.
    bool waitFor(const std::function<bool(const std::vector<std::string>&)>& ok) const {
        const auto end = std::chrono::steady_clock::now() + TIMEOUT;
        while (std::chrono::steady_clock::now() < end) {
            if (ok(screen())) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    bool waitText(const std::string& what) const {
        return waitFor([&](const std::vector<std::string>& s) {
            for (const auto& l : s)
                if (l.find(what) != std::string::npos) return true;
            return false;
        });
    }
    /// Row (1-based) of the last line that holds `what`, 0 when none.
    int rowOf(const std::string& what) const {
        auto s = screen();
        for (int r = 25; r >= 1; --r)
            if (s[r - 1].find(what) != std::string::npos) return r;
        return 0;
    }
    std::string file(const std::string& name) const {
        std::ifstream f(dir_ / name);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }

    /// Waits for the game's end and checks its status and the terminal's settings.
    void expectEndedWith(int status) const {
        ASSERT_TRUE(waitText("DONE")) << text();
        EXPECT_NE(text().find("EXIT=" + std::to_string(status)), std::string::npos) << text();
        const std::string before = file("before"), after = file("after");
        EXPECT_FALSE(before.empty());
        EXPECT_EQ(before, after) << "the terminal's settings changed";
        // The normal mode a shell needs: line editing, echo, CR to LF, output processing.
        std::string a = " " + file("after_a") + " ";
        for (char& c : a)
            if (c == '\n' || c == ';') c = ' ';
        for (const char* flag : {" icanon ", " echo ", " icrnl ", " opost ", " isig "})
            EXPECT_NE(a.find(flag), std::string::npos) << "missing" << flag << "in\n" << a;
    }

private:
    fs::path dir_;
    std::string sock_;
};

/// The text at a 1-based column of a 1-based row.
std::string at(const std::vector<std::string>& s, int col, int row, std::size_t len) {
    const std::string& l = s[row - 1];
    return l.size() >= col - 1 + len ? l.substr(col - 1, len) : std::string();
}

#define REQUIRE_TMUX()                                                                             \
    if (!haveTool("tmux")) GTEST_SKIP() << "tmux is not installed (make deps installs it)"

TEST(Tmux, PlaysLevelOneWithTheMenusEchoAndLineEditing) {
    REQUIRE_TMUX();
    Pane p("play");
    // The main menu: title at column 15 of row 1, entries at column 10 of rows 5 to 7,
    // the prompt at column 8 of row 8, the answer typed at column 1 of row 9.
    ASSERT_TRUE(p.waitText("Select menu point")) << p.text();
    auto s = p.screen();
    EXPECT_EQ(at(s, 15, 1, 11), "Gorvenshale") << p.text();
    EXPECT_EQ(at(s, 10, 5, 6), "1.Play");
    EXPECT_EQ(at(s, 10, 6, 7), "2.About");
    EXPECT_EQ(at(s, 10, 7, 6), "3.Quit");
    EXPECT_EQ(at(s, 8, 8, 17), "Select menu point");
    EXPECT_EQ(p.cursor(), std::make_pair(1, 9));

    p.type("1"); // echoed where it is typed
    ASSERT_TRUE(p.waitFor([](auto& sc) { return sc[8].rfind("1", 0) == 0; })) << p.text();
    EXPECT_EQ(p.cursor(), std::make_pair(2, 9));
    p.press("Enter");

    ASSERT_TRUE(p.waitText("Select game type")) << p.text();
    ASSERT_TRUE(p.waitText("Select menu point")) << p.text();
    s = p.screen();
    EXPECT_EQ(at(s, 15, 1, 11), "Gorvenshale");
    EXPECT_EQ(at(s, 1, 2, 16), "Select game type");
    EXPECT_EQ(at(s, 10, 5, 10), "1.Campaign");
    EXPECT_EQ(at(s, 10, 6, 14), "2.Custom level");
    EXPECT_EQ(at(s, 10, 7, 10), "3.Scirmish");
    EXPECT_EQ(at(s, 8, 8, 17), "Select menu point");
    p.type("2");
    p.press("Enter");

    ASSERT_TRUE(p.waitText("Enter the level number")) << p.text();
    const int row = p.rowOf("Enter the level number") + 1;
    auto lineIs = [&](const std::string& want) {
        return p.waitFor([&](auto& sc) { return sc[row - 1] == want; });
    };
    p.type("93");
    ASSERT_TRUE(lineIs("93")) << p.text();
    p.press("BSpace"); // Backspace takes the last character off the screen too
    ASSERT_TRUE(lineIs("9")) << p.text();
    p.type("7");
    ASSERT_TRUE(lineIs("97"));
    p.press("Escape"); // Esc wipes the whole line
    ASSERT_TRUE(lineIs("")) << p.text();
    EXPECT_EQ(p.cursor(), std::make_pair(1, row));
    p.type("45");
    ASSERT_TRUE(lineIs("45"));
    p.press("Left Left"); // the cursor keys move within the line, and typing overwrites
    ASSERT_TRUE(p.waitFor([&](auto&) { return p.cursor() == std::make_pair(1, row); }));
    p.press("Right");
    ASSERT_TRUE(p.waitFor([&](auto&) { return p.cursor() == std::make_pair(2, row); }));
    p.press("Home");
    ASSERT_TRUE(p.waitFor([&](auto&) { return p.cursor() == std::make_pair(1, row); }));
    p.type("0");
    ASSERT_TRUE(lineIs("05"));
    p.press("End");
    ASSERT_TRUE(p.waitFor([&](auto&) { return p.cursor() == std::make_pair(3, row); }));
    p.press("BSpace");
    ASSERT_TRUE(lineIs("0"));
    p.type("1"); // "01" is level 1
    ASSERT_TRUE(lineIs("01"));
    p.press("Enter");

    // The briefing, then the battle waits for a key before it asks anything.
    ASSERT_TRUE(p.waitText("Level 1 - Training ground")) << p.text();
    EXPECT_EQ(p.rowOf("Select a type of the ammunition"), 0) << p.text();
    p.type("1"); // leaves the wait and is the first character of the answer
    ASSERT_TRUE(p.waitText("Select a type of the ammunition")) << p.text();
    ASSERT_TRUE(p.waitFor([&](auto& sc) {
        int r = p.rowOf("3-tactical nuclear");
        return r > 0 && r < 25 && sc[r] == "1";
    })) << p.text();
    p.press("Enter");

    ASSERT_TRUE(p.waitText("Enter speed and angle of the shot")) << p.text();
    p.type("0 0"); // onto the gun's own wheel
    p.press("Enter");
    ASSERT_TRUE(p.waitText("You are defeated. Do you want to play level again? (Y/N)")) << p.text();
    EXPECT_GT(p.rowOf("DEAD"), 0);
    p.type("n");
    p.press("Enter");
    p.expectEndedWith(0);
}

TEST(Tmux, UpAndDownBringBackTheEarlierAnswers) {
    REQUIRE_TMUX();
    Pane p("history");
    ASSERT_TRUE(p.waitText("Select menu point")) << p.text();
    p.type("1");
    p.press("Enter");
    ASSERT_TRUE(p.waitText("Select game type")) << p.text();
    auto rowIs = [&](int row, const std::string& want) {
        return p.waitFor([&](auto& sc) { return sc[row - 1] == want; });
    };
    p.press("Up"); // the main menu's answer, on the answer's row, the cursor after it
    ASSERT_TRUE(rowIs(9, "1")) << p.text();
    EXPECT_EQ(p.cursor(), std::make_pair(2, 9));
    p.press("Down"); // back to the empty line being typed
    ASSERT_TRUE(rowIs(9, "")) << p.text();
    p.press("Up BSpace");
    p.type("2"); // edited as a typed line: Custom level
    ASSERT_TRUE(rowIs(9, "2")) << p.text();
    p.press("Enter");
    ASSERT_TRUE(p.waitText("Enter the level number")) << p.text();
    const int row = p.rowOf("Enter the level number") + 1;
    p.press("Up Up"); // newest first: "2", then "1"
    ASSERT_TRUE(rowIs(row, "1")) << p.text();
    p.press("Enter");
    ASSERT_TRUE(p.waitText("Level 1 - Training ground")) << p.text();
    p.press("C-c");
    p.expectEndedWith(130);
}

TEST(Tmux, QuitLeavesTheTerminalAsItWas) {
    REQUIRE_TMUX();
    Pane p("quit");
    ASSERT_TRUE(p.waitText("Select menu point")) << p.text();
    p.type("3");
    p.press("Enter");
    p.expectEndedWith(0);
}

TEST(Tmux, RuntimeErrorLeavesTheTerminalAsItWas) {
    REQUIRE_TMUX();
    // A campaign whose first level file holds a value that is not a number.
    const fs::path levels = scratch("tmux_levels");
    fs::create_directory(levels / "level");
    std::ofstream(levels / "level" / "1.txt") << "1 50 x\n";
    Pane p("error", levels);
    ASSERT_TRUE(p.waitText("Select menu point")) << p.text();
    p.type("1");
    p.press("Enter");
    ASSERT_TRUE(p.waitText("Select game type")) << p.text();
    p.type("1");
    p.press("Enter");
    // The report's call trace can be longer than the screen (deeper in a sanitizer build).
    ASSERT_TRUE(p.scrolledText("Runtime error 106 at $")) << p.text();
    p.expectEndedWith(106);
    fs::remove_all(levels);
}

TEST(Tmux, AMenuAnswerThatIsNotANumberIsSaidUnderTheRedrawnMenu) {
    REQUIRE_TMUX();
    Pane p("refused");
    const std::string said = gs::text::NOT_A_NUMBER;
    // The menu comes back as it was, with the line just under the answer's row, and the
    // answer is typed again at column 1 of row 9.
    auto menuSaysSo = [&](const std::string& secondRow) {
        EXPECT_TRUE(p.waitFor([&](auto& sc) { return at(sc, 8, 10, said.size()) == said; }))
            << p.text();
        auto s = p.screen();
        EXPECT_EQ(at(s, 15, 1, 11), "Gorvenshale") << p.text();
        EXPECT_EQ(s[1], secondRow);
        EXPECT_EQ(at(s, 8, 8, 17), "Select menu point");
        EXPECT_EQ(s[8], "");
        EXPECT_EQ(p.cursor(), std::make_pair(1, 9));
    };
    ASSERT_TRUE(p.waitText("Select menu point")) << p.text();
    p.type("abc");
    p.press("Enter");
    menuSaysSo("");
    p.type("1");
    p.press("Enter");
    ASSERT_TRUE(p.waitText("Select game type")) << p.text();
    EXPECT_EQ(p.rowOf(said), 0) << "the line belongs to the answer before, not this menu";
    p.type("0X2"); // not hexadecimal
    p.press("Enter");
    menuSaysSo("Select game type");
    p.press("C-c");
    p.expectEndedWith(130);
}

TEST(Tmux, CtrlCLeavesTheTerminalAsItWas) {
    REQUIRE_TMUX();
    Pane p("ctrlc");
    ASSERT_TRUE(p.waitText("Select menu point")) << p.text();
    p.type("12"); // in the middle of a line
    ASSERT_TRUE(p.waitFor([](auto& sc) { return sc[8] == "12"; })) << p.text();
    p.press("C-c");
    p.expectEndedWith(130);
}

} // namespace
} // namespace gs
