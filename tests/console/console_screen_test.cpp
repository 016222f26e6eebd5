// The console on a screen: wrapping at the right edge, scrolling at the bottom row, and
// line editing on screen. The screen is the window pane's cell grid, which behaves like a
// real terminal (a character in the last column leaves the cursor there until the next
// one), so the console must place every line end itself. Every case runs twice: keys from
// the scripted terminal, and keys typed into the pane's own queue.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "console/console.h"
#include "console/pane_terminal.h"
#include "system/runtime_error.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

/// Types a script in ScriptTerminal's notation into the pane, then closes the window, so
/// that the keys end as the script's do.
void typeScript(PaneTerminal& pane, const std::string& keys) {
    for (std::size_t at = 0; at < keys.size(); ++at) {
        const char ch = keys[at];
        if (ch == '\n') {
            pane.pressKey(PaneKey::Enter);
        } else if (ch == '\b') {
            pane.pressKey(PaneKey::Backspace);
        } else if (ch == '\x1b') {
            pane.pressKey(PaneKey::Escape);
        } else if (ch == '\x01' && at + 1 < keys.size()) {
            const char which = keys[++at];
            pane.pressKey(which == 'L'   ? PaneKey::Left
                          : which == 'R' ? PaneKey::Right
                          : which == 'H' ? PaneKey::Home
                          : which == 'E' ? PaneKey::End
                          : which == 'U' ? PaneKey::Up
                          : which == 'D' ? PaneKey::Down
                                         : PaneKey::F1);
        } else {
            pane.typeText(std::string_view(&ch, 1));
        }
    }
    pane.close();
}

enum class Keys { Scripted, Pane };

/// The console over a grid screen; keeps the rows that scroll off the top.
class Rig : public Terminal {
public:
    Rig(Keys keys, int cols, int rows, const std::string& script = {}) {
        if (keys == Keys::Scripted) {
            auto scripted = std::make_unique<test::ScriptedGrid>(cols, rows, script);
            grid = &scripted->grid;
            inner = std::move(scripted);
        } else {
            auto pane = std::make_unique<PaneTerminal>(cols, rows);
            typeScript(*pane, script);
            grid = &pane->grid();
            inner = std::move(pane);
        }
        con = std::make_unique<Console>(*this);
    }
    std::optional<int> pollKey() override { return inner->pollKey(); }
    int waitKey() override { return inner->waitKey(); }
    void write(std::string_view bytes) override {
        // A line feed on the bottom row scrolls the top row away.
        for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos;) {
            inner->write(bytes.substr(0, end));
            if (grid->cursor().row == grid->rows()) gone.push_back(grid->rowText(1));
            inner->write("\n");
            bytes.remove_prefix(end + 1);
        }
        inner->write(bytes);
    }
    void clear() override { inner->clear(); }
    void moveCursor(int col, int row) override {
        ASSERT_TRUE(col >= 1 && col <= grid->cols() && row >= 1 && row <= grid->rows());
        inner->moveCursor(col, row);
    }
    bool isScreen() const override { return true; }
    int cols() const override { return inner->cols(); }
    int rows() const override { return inner->rows(); }

    std::string row(int n) const { return grid->rowText(n); }
    GridPos cursor() const { return grid->cursor(); }
    /// The console and the screen agree on where the cursor is.
    void agree() const { EXPECT_EQ(cursor(), (GridPos{con->cursorCol(), con->cursorRow()})); }

    std::unique_ptr<Terminal> inner;
    TextGrid* grid = nullptr;
    std::unique_ptr<Console> con;
    std::vector<std::string> gone; ///< rows scrolled off the top, oldest first
};

class ConsoleScreen : public ::testing::TestWithParam<Keys> {};

TEST_P(ConsoleScreen, WrapsAtTheRightEdgeScrollsAtTheBottomAndIgnoresBadPositions) {
    Rig t(GetParam(), 10, 4);
    Console& con = *t.con;
    con.Write("0123456789abcdefghijKLMNO");
    EXPECT_EQ(t.row(2), "abcdefghij");
    EXPECT_EQ(t.row(3), "KLMNO     ");
    EXPECT_EQ(con.cursorCol(), 6);
    t.agree();
    con.WriteLn();
    con.WriteLn("x");
    EXPECT_EQ(t.gone, std::vector<std::string>{"0123456789"}); // one line past the bottom
    EXPECT_EQ(t.row(3), "x         ");
    con.Write("0123456789"); // exactly filling the bottom row scrolls once more
    EXPECT_EQ(t.row(3), "0123456789");
    EXPECT_EQ(con.cursorRow(), 4);
    t.agree();

    con.GotoXY(3, 2);
    for (auto [col, row] : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {11, 1}, {1, 5}})
        con.GotoXY(static_cast<u8>(col), static_cast<u8>(row));
    con.Write("A\a\bB\x1b"); // bell unseen, backspace steps back, Esc shown harmlessly
    EXPECT_EQ(t.row(2), "x B?      ");
    t.agree();

    // A UTF-8 character is one cell, also when it fills the last column and the console's
    // line end comes between its bytes, and also when that line end scrolls.
    con.ClrScr();
    con.GotoXY(1, 4);
    con.Write("12345678УБИТ");
    EXPECT_EQ(t.row(3), "12345678УБ");
    EXPECT_EQ(t.row(4), "ИТ        ");
    t.agree();
}

TEST(ConsoleBytes, StrayC1BytesAreShownAsQuestionMarksAndUtf8PassesWhole) {
    // 0x9B is CSI to an 8-bit terminal: alone it would clear the screen. Inside a UTF-8
    // character (D0 9F is the Cyrillic letter Pe) the same byte is part of a letter.
    struct Bytes : test::ScriptTerminal {
        bool isScreen() const override { return true; }
        int cols() const override { return 20; }
        int rows() const override { return 2; }
    } t;
    Console con(t);
    con.Write("\x9B"
              "2J|\xD0\x9F|\xC3"
              "A\x85|\xE2\x80\x94\x80|");
    EXPECT_EQ(t.output.substr(0, 16), "?2J|\xD0\x9F|\xC3"
                                      "A?|\xE2\x80\x94?|");
}

TEST_P(ConsoleScreen, EditingShowsOnScreenAndFollowsAWrappedScrolledLine) {
    Rig t(GetParam(), 10, 4, "abc\b\bX\n");
    t.con->Write("> ");
    EXPECT_EQ(t.con->ReadCharLn(), 'a');
    EXPECT_EQ(t.row(1), "> aX      ");
    EXPECT_EQ(t.cursor(), (GridPos{1, 2}));
    t.agree();

    // 8 columns, 2 rows: a 12-character answer wraps and scrolls the prompt away; Backspace
    // goes back across the edge and Home still finds the line's first cell.
    Rig s(GetParam(), 8, 2,
          "abcdefghijkl\b\b\b\b\b\x01H"
          "Z\n");
    s.con->WriteLn("prompt");
    s.con->Write("> ");
    EXPECT_EQ(s.con->ReadCharLn(), 'Z');
    EXPECT_EQ(s.gone, (std::vector<std::string>{"prompt  ", "> Zbcdef"}));
    EXPECT_EQ(s.row(1), "g       ");
    s.agree();
}

TEST_P(ConsoleScreen, TypedTextKeepsItsBytesAndTheKeysEndWithTheScript) {
    // Desktop text input gives UTF-8: each byte is one key, the echo shows one character.
    Rig t(GetParam(), 10, 3, "\xC3\xA4\xC3\xA9!\n");
    t.con->Write("? ");
    EXPECT_EQ(t.con->ReadCharLn(), '\xC3');
    EXPECT_EQ(t.row(1), "? äé!     ");
    t.agree();
    try {
        t.con->ReadCharLn();
        FAIL() << "a read went on after the last key";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.code, RE_INPUT_ENDED);
    }
}

TEST_P(ConsoleScreen, ARecalledAnswerReplacesTheLineOnScreenAcrossTheEdge) {
    // 8 columns: the first answer wraps onto a second row. Up puts it back over the short
    // typed "9" (the line it left is wiped), Down brings the "9" back and blanks the rest.
    Rig t(GetParam(), 8, 4,
          "123456789A\n"
          "9\x01U"
          "\x01"
          "D"
          "\x01U"
          "\b\n");
    t.con->Write("> ");
    EXPECT_EQ(t.con->ReadCharLn(), '1');
    t.con->Write("> ");
    EXPECT_EQ(t.con->ReadCharLn(), '1');
    // The Enter on the bottom row scrolled the screen by one row.
    EXPECT_EQ(t.row(2), "> 123456");
    EXPECT_EQ(t.row(3), "789     "); // the recalled answer less its last character
    EXPECT_EQ(t.cursor(), (GridPos{1, 4}));
    t.agree();
    EXPECT_EQ(t.con->history().back(), "123456789");
}

INSTANTIATE_TEST_SUITE_P(Keys, ConsoleScreen, ::testing::Values(Keys::Scripted, Keys::Pane),
                         [](const auto& info) {
                             return info.param == Keys::Scripted ? "Scripted" : "Pane";
                         });

} // namespace
} // namespace gs
