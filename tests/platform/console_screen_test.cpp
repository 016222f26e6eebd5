// The console on a screen: wrapping at the right edge, scrolling at the bottom row, and
// line editing on screen. The terminal here is a small cell emulator that behaves like a
// real one (a character in the last column leaves the cursor there until the next one),
// so the console must place every line end itself.
#include <gtest/gtest.h>

#include <vector>

#include "platform/console.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

class ScreenTerminal : public test::ScriptTerminal {
public:
    ScreenTerminal(int cols, int rows, std::string keys = {})
        : ScriptTerminal(std::move(keys)), w(cols), h(rows) {
        clear();
    }
    bool isScreen() const override { return true; }
    int cols() const override { return w; }
    int rows() const override { return h; }
    void clear() override {
        cells.assign(static_cast<std::size_t>(h), std::string(static_cast<std::size_t>(w), ' '));
        c = r = 1;
        wrapDue = false;
    }
    void moveCursor(int col, int row) override {
        ASSERT_TRUE(col >= 1 && col <= w && row >= 1 && row <= h);
        c = col, r = row, wrapDue = false;
    }
    void write(std::string_view bytes) override {
        for (char ch : bytes) {
            if (ch == '\r') {
                c = 1, wrapDue = false;
            } else if (ch == '\n') {
                lineFeed();
            } else if (ch == '\b') {
                c = c > 1 ? c - 1 : 1, wrapDue = false;
            } else {
                ASSERT_GE(static_cast<unsigned char>(ch), 32)
                    << "a control byte reached the screen";
                if (wrapDue) c = 1, wrapDue = false, lineFeed();
                cells[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c - 1)] = ch;
                if (c == w)
                    wrapDue = true;
                else
                    ++c;
            }
        }
    }
    const std::string& row(int n) const { return cells[static_cast<std::size_t>(n - 1)]; }
    int w, h, c = 1, r = 1;
    bool wrapDue = false;
    std::vector<std::string> cells;
    std::vector<std::string> gone; ///< rows scrolled off the top, oldest first

private:
    void lineFeed() {
        if (r < h) {
            ++r;
            return;
        }
        gone.push_back(cells.front());
        cells.erase(cells.begin());
        cells.emplace_back(static_cast<std::size_t>(w), ' ');
    }
};

TEST(ConsoleScreen, WrapsAtTheRightEdgeScrollsAtTheBottomAndIgnoresBadPositions) {
    ScreenTerminal t(10, 4);
    Console con(t);
    con.Write("0123456789abcdefghijKLMNO");
    EXPECT_EQ(t.row(2), "abcdefghij");
    EXPECT_EQ(t.row(3), "KLMNO     ");
    EXPECT_EQ(con.cursorCol(), 6);
    con.WriteLn();
    con.WriteLn("x");
    EXPECT_EQ(t.gone, std::vector<std::string>{"0123456789"}); // one line past the bottom
    EXPECT_EQ(t.row(3), "x         ");
    con.Write("0123456789"); // exactly filling the bottom row scrolls once more
    EXPECT_EQ(t.row(3), "0123456789");
    EXPECT_EQ(con.cursorRow(), 4);
    EXPECT_EQ(t.r, 4);

    con.GotoXY(3, 2);
    for (auto [col, row] : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {11, 1}, {1, 5}})
        con.GotoXY(static_cast<u8>(col), static_cast<u8>(row));
    con.Write("A\a\bB\x1b"); // bell unseen, backspace steps back, Esc shown harmlessly
    EXPECT_EQ(t.row(2), "x B?      ");
}

TEST(ConsoleScreen, StrayC1BytesAreShownAsQuestionMarksAndUtf8PassesWhole) {
    // 0x9B is CSI to an 8-bit terminal: alone it would clear the screen. Inside a UTF-8
    // character (D0 9F is the Cyrillic letter Pe) the same byte is part of a letter.
    ScreenTerminal t(20, 2);
    Console con(t);
    con.Write("\x9B"
              "2J|\xD0\x9F|\xC3"
              "A\x85|\xE2\x80\x94\x80|");
    EXPECT_EQ(t.row(1).substr(0, 16), "?2J|\xD0\x9F|\xC3"
                                      "A?|\xE2\x80\x94?|");
}

TEST(ConsoleScreen, EditingShowsOnScreenAndFollowsAWrappedScrolledLine) {
    ScreenTerminal t(10, 4, "abc\b\bX\n");
    Console con(t);
    con.Write("> ");
    EXPECT_EQ(con.ReadCharLn(), 'a');
    EXPECT_EQ(t.row(1), "> aX      ");
    EXPECT_EQ(std::pair(t.c, t.r), std::pair(1, 2));

    // 8 columns, 2 rows: a 12-character answer wraps and scrolls the prompt away; Backspace
    // goes back across the edge and Home still finds the line's first cell.
    ScreenTerminal s(8, 2,
                     "abcdefghijkl\b\b\b\b\b\x01H"
                     "Z\n");
    Console sc(s);
    sc.WriteLn("prompt");
    sc.Write("> ");
    EXPECT_EQ(sc.ReadCharLn(), 'Z');
    EXPECT_EQ(s.gone, (std::vector<std::string>{"prompt  ", "> Zbcdef"}));
    EXPECT_EQ(s.row(1), "g       ");
}

} // namespace
} // namespace gs
