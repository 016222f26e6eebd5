// The pane's cell grid: UTF-8 characters in cells, and the record of changes a renderer on
// another thread follows.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "console/text_grid.h"

namespace gs {
namespace {

TEST(TextGrid, OneCellPerCharacterAndReplacementsForBrokenOnes) {
    const struct {
        std::vector<std::string> writes; // separate calls, as the echo of typed bytes comes
        std::string row;
        int col;
    } cases[] = {
        {{"A\xC3\xA4Z"}, "AäZ ", 4},
        {{"\xC3", "\xA4", "\xD0", "\x91"}, "äБ  ", 3},
        {{"\xC3Z"}, "\xEF\xBF\xBDZ  ", 3}, // cut short by the next character
        {{"\x80\xBF"
          "A"},
         "A   ",
         2},                                      // continuation bytes of no character
        {{"\xC0\xAFx"}, "\xEF\xBF\xBDx  ", 3},    // an overlong form
        {{"\xED\xA0\x80"}, "\xEF\xBF\xBD   ", 2}, // a surrogate
        {{"\xF4\x90\x80\x80"}, "\xEF\xBF\xBD   ", 2},
        {{"\xF0\x9F\x98\x80"}, "\xF0\x9F\x98\x80   ", 2},
        {{"ab\a\x01\x7f\bc"}, "ac  ", 3}, // the bell and stray control bytes show nothing
        {{"\b\bq"}, "q   ", 2},
    };
    for (const auto& c : cases) {
        TextGrid grid(4, 2);
        for (const std::string& w : c.writes) grid.write(w);
        EXPECT_EQ(grid.rowText(1), c.row) << c.writes[0];
        EXPECT_EQ(grid.cursor(), (GridPos{c.col, 1})) << c.writes[0];
    }
    // The last column holds the cursor until the next character (or a backspace) comes.
    TextGrid grid(4, 2);
    grid.write("abcd");
    EXPECT_TRUE(grid.wrapPending());
    EXPECT_EQ(grid.cursor(), (GridPos{4, 1}));
    grid.write("\bX");
    EXPECT_EQ(grid.rowText(1), "abcX");
    grid.write("ef");
    EXPECT_EQ(grid.rowText(2), "ef  ");
}

TEST(TextGrid, ViewsCopyOnlyWhatChangedAndFollowScrolling) {
    TextGrid grid(3, 4);
    int calls = 0;
    grid.setChangeListener([&] { ++calls; });
    GridView view;
    EXPECT_TRUE(grid.update(view)); // a new view takes everything
    EXPECT_EQ(view.changed, std::vector<bool>(4, true));
    EXPECT_FALSE(grid.update(view));

    grid.moveCursor(2, 2);
    grid.write("x");
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(grid.update(view));
    EXPECT_EQ(view.changed, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(view.cursor, (GridPos{3, 2}));
    grid.moveCursor(1, 1); // the cursor alone
    EXPECT_TRUE(grid.update(view));
    EXPECT_EQ(view.changed, std::vector<bool>(4, false));
    grid.moveCursor(1, 1);
    grid.write("\r");
    EXPECT_EQ(calls, 3); // nothing changed: nothing to tell

    GridView late; // a second reader, one version behind
    grid.update(late);
    grid.moveCursor(1, 4);
    grid.write("A\r\nB\r\nC"); // two rows scroll: the row of "x" goes off the top
    EXPECT_TRUE(grid.update(view));
    EXPECT_EQ(view.scrolled, 2);
    EXPECT_EQ(view.changed, (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(grid.scrollCount(), 2u);
    grid.moveCursor(3, 1);
    grid.write("y");
    grid.update(late);
    for (GridView* v : {&view, &late}) {
        grid.update(*v);
        for (int row = 1; row <= 4; ++row)
            for (int col = 1; col <= 3; ++col)
                EXPECT_EQ(v->at(col, row), grid.at(col, row)) << col << "," << row;
    }
    grid.clear();
    EXPECT_TRUE(grid.update(view));
    EXPECT_EQ(view.changed, std::vector<bool>(4, true));
}

TEST(TextGrid, AReaderOnAnotherThreadEndsWithTheWritersPicture) {
    TextGrid grid(7, 3);
    GridView often, once;
    std::thread writer([&] {
        for (int n = 0; n < 2000; ++n) {
            grid.moveCursor(n % 7 + 1, 3);
            grid.write(std::to_string(n % 97) + (n % 5 == 0 ? "\r\n" : "\xD0\x96"));
        }
    });
    for (int n = 0; n < 2000; ++n) grid.update(often);
    writer.join();
    grid.update(often);
    grid.update(once);
    EXPECT_EQ(often.cells, once.cells);
    EXPECT_EQ(often.cursor, grid.cursor());
}

} // namespace
} // namespace gs
