// The console on a screen: cursor tracking, wrapping at the right edge, scrolling at the
// bottom row, and the on-screen effect of line editing. The terminal here is a small cell
// emulator that behaves like a real one (a character in the last column leaves the
// cursor there until the next character), so the console must place every line end itself.
#include <gtest/gtest.h>

#include <vector>

#include "platform/console.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

class ScreenTerminal : public test::ScriptTerminal {
  public:
    ScreenTerminal(int cols, int rows, std::string keys = {})
        : ScriptTerminal(std::move(keys)), w(cols), h(rows),
          cells(static_cast<std::size_t>(rows), std::string(static_cast<std::size_t>(cols), ' ')) {}
    bool isScreen() const override { return true; }
    int cols() const override { return w; }
    int rows() const override { return h; }
    void clear() override {
        for (auto& r : cells) r.assign(static_cast<std::size_t>(w), ' ');
        c = r = 1;
        wrapDue = false;
    }
    void moveCursor(int col, int row) override {
        ASSERT_TRUE(col >= 1 && col <= w && row >= 1 && row <= h);
        c = col;
        r = row;
        wrapDue = false;
    }
    void write(std::string_view bytes) override {
        for (char ch : bytes) {
            auto b = static_cast<unsigned char>(ch);
            if (b == '\r') {
                c = 1;
                wrapDue = false;
            } else if (b == '\n') {
                lineFeed();
            } else if (b == '\b') {
                if (c > 1) --c;
                wrapDue = false;
            } else {
                ASSERT_GE(b, 32) << "control byte " << int(b) << " reached the terminal";
                if (wrapDue) {
                    c = 1;
                    lineFeed();
                    wrapDue = false;
                }
                cells[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c - 1)] = ch;
                if (c == w)
                    wrapDue = true;
                else
                    ++c;
            }
        }
    }
    std::string row(int n) const { return cells[static_cast<std::size_t>(n - 1)]; }
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

void expectCursor(const Console& con, const ScreenTerminal& t, int col, int row) {
    EXPECT_EQ(con.cursorCol(), col);
    EXPECT_EQ(con.cursorRow(), row);
    // The screen's own cursor agrees (a due wrap counts as the next row's start).
    int tc = t.wrapDue ? 1 : t.c, tr = t.wrapDue ? t.r + 1 : t.r;
    if (!t.wrapDue) {
        EXPECT_EQ(tc, col);
        EXPECT_EQ(tr, row);
    }
}

TEST(ConsoleScreen, WritingWrapsAtTheRightEdgeAndScrollsAtTheBottom) {
    ScreenTerminal t(10, 4);
    Console con(t);
    con.ClrScr();
    con.Write("0123456789abcdefghijKLMNO");
    EXPECT_EQ(t.row(1), "0123456789");
    EXPECT_EQ(t.row(2), "abcdefghij");
    EXPECT_EQ(t.row(3), "KLMNO     ");
    expectCursor(con, t, 6, 3);
    con.WriteLn();
    con.WriteLn("x");
    EXPECT_EQ(t.row(1), "abcdefghij"); // one new line past the bottom: one row scrolled away
    EXPECT_EQ(t.row(3), "x         ");
    EXPECT_EQ(t.row(4), "          ");
    expectCursor(con, t, 1, 4);
    con.Write("0123456789"); // exactly filling the bottom row scrolls once more
    EXPECT_EQ(t.row(3), "0123456789");
    expectCursor(con, t, 1, 4);
}

TEST(ConsoleScreen, GotoXYOutsideTheWindowDoesNothing) {
    ScreenTerminal t(10, 4);
    Console con(t);
    con.ClrScr();
    con.GotoXY(3, 2);
    expectCursor(con, t, 3, 2);
    for (auto [c, r] : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {11, 1}, {1, 5}}) {
        con.GotoXY(static_cast<u8>(c), static_cast<u8>(r));
        expectCursor(con, t, 3, 2);
    }
    con.Write("A\a\bB\x1b");
    EXPECT_EQ(t.row(2), "  B?      "); // bell unseen, backspace steps back, Esc shown harmlessly
}

TEST(ConsoleScreen, EchoAndEditingShowOnScreen) {
    ScreenTerminal t(10, 4, "abc\b\bX\n");
    Console con(t);
    con.ClrScr();
    con.Write("> ");
    EXPECT_EQ(con.ReadCharLn(), 'a');
    EXPECT_EQ(t.row(1), "> aX      ");
    expectCursor(con, t, 1, 2);

    ScreenTerminal t2(10, 4,
                      "12345\x1b"
                      "9\n");
    Console con2(t2);
    con2.ClrScr();
    con2.ReadCharLn();
    EXPECT_EQ(t2.row(1), "9         ");

    // Enter with the cursor inside the line still leaves it below the whole line.
    ScreenTerminal t3(10, 4,
                      "1234\x01H"
                      "\n");
    Console con3(t3);
    con3.ClrScr();
    con3.ReadCharLn();
    EXPECT_EQ(t3.row(1), "1234      ");
    expectCursor(con3, t3, 1, 2);
}

TEST(ConsoleScreen, EditingFollowsALineThatWrapsAndScrolls) {
    // 8 columns, 2 rows: the prompt and a 12-character answer scroll the window.
    ScreenTerminal t(8, 2,
                     "abcdefghijkl\b\b\b\b\b\x01H"
                     "Z\n");
    Console con(t);
    con.ClrScr();
    con.WriteLn("prompt");
    con.Write("> ");
    EXPECT_EQ(con.ReadCharLn(), 'Z');
    // Typing scrolled the prompt away; Home found the line's first row all the same.
    ASSERT_EQ(t.gone.size(), 2u);
    EXPECT_EQ(t.gone[0], "prompt  ");
    EXPECT_EQ(t.gone[1], "> Zbcdef");
    EXPECT_EQ(t.row(1), "g       ");
    EXPECT_EQ(t.row(2), "        ");

    ScreenTerminal t2(8, 3, "abcdefghij\b\b\b\b\n");
    Console con2(t2);
    con2.ClrScr();
    con2.Write("> ");
    con2.ReadCharLn();
    EXPECT_EQ(t2.row(1), "> abcdef");
    EXPECT_EQ(t2.row(2), "        ");
    expectCursor(con2, t2, 1, 3);
}

} // namespace
} // namespace gs
