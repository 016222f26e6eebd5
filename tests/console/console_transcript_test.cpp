// The plain transcript a screen keeps: whatever the screen shows (cursor moves, wrapping,
// a cleared screen, a line being edited), the transcript must read exactly as the same
// game's piped output, so that a page's running text matches the piped game line by line.
#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "console/text_grid.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

/// One game's console work: a menu placed with GotoXY, a screen cleared in mid-line, a
/// line longer than the screen is wide, and answers typed with editing keys.
void play(Console& con) {
    con.ClrScr();
    con.GotoXY(15, 1);
    con.WriteLn("Title");
    con.GotoXY(10, 5);
    con.WriteLn("1.Play");
    con.Write("Select ");
    con.ClrScr();
    con.WriteLn(std::string(30, 'x') + "a line wider than the screen");
    i16 a = 0, b = 0;
    EXPECT_TRUE(con.ReadLn(a, b));
    con.Write("again? ");
    (void)con.ReadCharLn();
    EXPECT_FALSE(con.ReadLn(a)); // "x1": not a number, the line is dropped
    EXPECT_TRUE(con.ReadLn(a));
    con.Write("end");
}

// Left, Backspace, Esc and Home with overtyping: the screen shows every step, the
// transcript only each line as Enter takes it.
const std::string KEYS = "12 3\b4\n"
                         "n\x01Hy\n"
                         "x1\n"
                         "9\x1b"
                         "7\x01L8\n";

TEST(ConsoleTranscript, AScreenKeepsExactlyThePipedOutput) {
    test::ScriptTerminal pipe(KEYS);
    Console piped(pipe);
    std::string pipedText;
    piped.onPlainText = [&](std::string_view t) { pipedText += t; };
    play(piped);

    test::ScriptedGrid screen(20, 4, KEYS);
    Console shown(screen);
    std::string shownText;
    shown.onPlainText = [&](std::string_view t) { shownText += t; };
    play(shown);

    // The pipe's own bytes are the transcript (its terminal marks each clear itself).
    std::string pipeBytes = pipe.output;
    for (std::size_t at; (at = pipeBytes.find("\n<CLS>\n")) != std::string::npos;)
        pipeBytes.erase(at, 7);
    EXPECT_EQ(pipedText, pipeBytes);
    EXPECT_EQ(shownText, pipedText);
    EXPECT_EQ(shownText, "Title\n1.Play\nSelect \n" + std::string(30, 'x') +
                             "a line wider than the screen\n12 4\nagain? y\nx1\n8\nend");
    // The screen itself went on scrolling and editing as always.
    EXPECT_EQ(screen.grid.rowText(4), "end                 ");
}

} // namespace
} // namespace gs
