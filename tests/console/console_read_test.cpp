// The console's reads and line editing, on a scripted terminal with plain output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "system/runtime_error.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

using test::ScriptTerminal;

TEST(NumberToken, NotationsSignsAndRange) {
    struct Case {
        const char* tok;
        bool isUnsigned;
        std::optional<std::int64_t> v;
    } cases[] = {
        {"+7", false, 7},          {"-$10", false, -16},
        {"0x1f", false, 31},       {"%101", false, 5},
        {"&17", false, 15},        {"-2147483648", false, -2147483648LL},
        {"2147483648", false, {}}, {"4294967295", true, 4294967295LL},
        {"4294967296", true, {}},  {"-1", true, {}},
        {"1x", false, {}},         {"-", false, {}},
        {"0x", false, {}},         {"%2", false, {}},
        {"&8", false, {}},         {"0x3", false, 3},
        {"0X3", false, {}}, // only the lower-case x makes a hexadecimal number
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseNumberToken(c.tok, c.isUnsigned), c.v) << "token '" << c.tok << "'";
}

TEST(ConsoleRead, NumbersCharactersAndLineEnds) {
    // Low bits kept; blank lines skipped; a menu read leaves the rest of its line;
    // two numbers may share a line or not; an empty line is character 13.
    ScriptTerminal t("32768\n\n  \n257 3\n12 34 extra\n12\n34\n\nyes\n");
    Console con(t);
    i16 a = 0, b = 0;
    u8 m = 0;
    ASSERT_TRUE(con.ReadLn(a));
    EXPECT_EQ(a, -32768);
    ASSERT_TRUE(con.ReadUnsigned(m));
    EXPECT_EQ(m, 1);
    EXPECT_EQ(con.bufferedInput(), " 3\r\n");
    ASSERT_TRUE(con.ReadUnsigned(m));
    EXPECT_EQ(m, 3);
    ASSERT_TRUE(con.ReadLn(a, b));
    EXPECT_EQ(a * 100 + b, 1234);
    EXPECT_EQ(con.bufferedInput(), ""); // "extra" went with the rest of the line
    ASSERT_TRUE(con.ReadLn(a, b));
    EXPECT_EQ(a * 100 + b, 1234);
    EXPECT_EQ(con.ReadCharLn(), 13);
    EXPECT_EQ(con.ReadCharLn(), 'y');
    EXPECT_EQ(t.pending(), 0u);
}

TEST(ConsoleRead, AnAnswerThatIsNotANumberIsReportedAndItsLineDropped) {
    // Each read answers false, keeps its targets and drops the rest of the line; the
    // next read starts on the next line.
    ScriptTerminal t("1x 5\n7\n-1 2\n0X3\n9\n12 abc 34\n56\n$G 3\n78 90\n");
    Console con(t);
    i16 a = 11, b = 22;
    u8 m = 33;
    EXPECT_FALSE(con.ReadLn(a));
    EXPECT_EQ(a, 11);
    EXPECT_EQ(con.bufferedInput(), "");
    ASSERT_TRUE(con.ReadLn(a));
    EXPECT_EQ(a, 7);
    EXPECT_FALSE(con.ReadUnsigned(m)); // a sign is not taken by the menus' read
    EXPECT_EQ(m, 33);
    EXPECT_EQ(con.bufferedInput(), ""); // unlike a number, which leaves the rest
    EXPECT_FALSE(con.ReadUnsigned(m));
    ASSERT_TRUE(con.ReadUnsigned(m));
    EXPECT_EQ(m, 9);
    EXPECT_FALSE(con.ReadLn(a, b)); // "12 abc": neither number is taken, 34 is dropped
    EXPECT_EQ(a * 100 + b, 722);
    EXPECT_FALSE(con.ReadLn(a, b)); // 56, then a second number on the next line that is not
    EXPECT_EQ(a * 100 + b, 722);
    ASSERT_TRUE(con.ReadLn(a, b));
    EXPECT_EQ(a * 100 + b, 7890);
    EXPECT_EQ(t.pending(), 0u);
}

TEST(ConsoleRead, FailuresEndWithTheirErrorNumbers) {
    auto errorOf = [](const char* in, bool isUnsigned) {
        ScriptTerminal t(in);
        Console con(t);
        try {
            i16 a;
            u8 m;
            // Wrong answers until the input ends: the reads never loop on their own.
            while (isUnsigned ? !con.ReadUnsigned(m) : !con.ReadLn(a)) {
            }
        } catch (const RuntimeError& e) {
            return e.code;
        }
        return 0;
    };
    EXPECT_EQ(errorOf("1x\n-\nabc def\n", false), RE_INPUT_ENDED);
    EXPECT_EQ(errorOf("-1\n", true), RE_INPUT_ENDED);
    EXPECT_EQ(errorOf("12", false), RE_INPUT_ENDED); // the input ended before Enter
    EXPECT_EQ(errorOf("\n \n", false), RE_INPUT_ENDED);
    ScriptTerminal t("");
    Console con(t);
    EXPECT_THROW(con.WaitKey(), RuntimeError);
}

TEST(ConsoleLineEdit, BackspaceEscCursorKeysAndTheLengthLimit) {
    struct Case {
        std::string keys, line;
    } cases[] = {
        {"123\b4\n", "124"},
        {"\b\b12\n", "12"},
        {"99\x1b"
         "5\n",
         "5"},
        {"123\x01L\x01L"
         "9\n",
         "193"}, // typed over the character under the cursor
        {"123\x01H"
         "45\n",
         "453"},
        {"123\x01H\x01"
         "E"
         "4\n",
         "1234"},
        {"123\x01L\x01L\x01R\b\n", "13"}, // Backspace inside the line closes the gap
        {"1\x01R\x01R"
         "2\n",
         "12"}, // Right stops after the last character
        {"1\x1a"
         "2\x01X"
         "3\n",
         "123"}, // Ctrl-Z and other function keys are ignored
        {std::string(300, '7') + "\n", std::string(254, '7')},
    };
    for (const Case& c : cases) {
        ScriptTerminal t(c.keys);
        Console con(t);
        EXPECT_EQ(con.ReadCharLn(), c.line[0]) << c.keys;
        // The plain echo is the finished line, as it was entered.
        EXPECT_EQ(t.output, c.line + "\n") << c.keys;
    }
}

/// The lines a console takes, one ReadLn pair each, from the keys of several answers.
std::vector<std::string> answersOf(const std::string& keys, int answers) {
    ScriptTerminal t(keys);
    Console con(t);
    std::vector<std::string> lines;
    for (int n = 0; n < answers; ++n) {
        con.ReadCharLn();
        lines.push_back(t.output);
        t.output.clear();
    }
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\n') line.pop_back();
    return lines;
}

TEST(ConsoleHistory, UpAndDownWalkTheEarlierAnswersAndTheLineBeingTyped) {
    using V = std::vector<std::string>;
    // Up brings back the last answer; Up again the one before (a recalled answer sent is
    // the newest too); at the oldest it stays.
    EXPECT_EQ(answersOf("40 30\n55 60\n\x01U\n\x01U\x01U\n\x01U\x01U\x01U\x01U\n", 5),
              (V{"40 30", "55 60", "55 60", "55 60", "40 30"}));
    // Down goes forward again, and past the newest brings back the line being typed.
    EXPECT_EQ(answersOf("1\n2\n3\x01U\x01U\x01"
                        "D\x01"
                        "D\n",
                        3),
              (V{"1", "2", "3"}));
    EXPECT_EQ(answersOf("1\n2\n\x01U\x01U\x01"
                        "D\n",
                        3),
              (V{"1", "2", "2"}));
    // Up with nothing before it, Down with nothing recalled: nothing happens.
    EXPECT_EQ(answersOf("\x01U\x01"
                        "D"
                        "7\n",
                        1),
              (V{"7"}));
    // The recalled line is edited as a typed one: the cursor at its end, Backspace, Home,
    // typing over, Esc.
    EXPECT_EQ(answersOf("500 45\n\x01U\b"
                        "7\n\x01U\x01H"
                        "6\n\x01U\x1b"
                        "9\n",
                        4),
              (V{"500 45", "500 47", "600 47", "9"}));
    // Blank lines are no answers to recall; a recalled answer sent again is the newest.
    EXPECT_EQ(answersOf("a\nb\n\n  \n\x01U\x01U\n\x01U\n", 6), (V{"a", "b", "", "  ", "a", "a"}));
}

TEST(ConsoleHistory, KeepsTheLatestHundredAnswers) {
    std::string keys;
    for (int n = 1; n <= 105; ++n) keys += std::to_string(n) + "\n";
    std::string ups;
    for (int n = 0; n < 150; ++n) ups += "\x01U";
    ScriptTerminal u(keys + ups + "\n");
    Console con(u);
    for (int n = 1; n <= 106; ++n) con.ReadCharLn();
    ASSERT_EQ(con.history().size(), MAX_HISTORY);
    EXPECT_EQ(con.history().front(), "7"); // 6..105 were kept, then "6" recalled
    EXPECT_EQ(con.history().back(), "6");
}

TEST(ConsoleKeys, PendingKeyStartsTheNextLineAndWaitsCallTheHook) {
    ScriptTerminal t("7\n\n5\n");
    Console con(t);
    int waits = 0;
    con.onPlayerWait = [&] { ++waits; };
    EXPECT_TRUE(con.KeyPressed());
    EXPECT_TRUE(con.KeyPressed()); // does not consume
    i16 a = 0;
    ASSERT_TRUE(con.ReadLn(a));
    EXPECT_EQ(a, 7);
    con.WaitKey(); // Enter stays pending: the next line is empty
    EXPECT_EQ(con.ReadCharLn(), 13);
    ASSERT_TRUE(con.ReadLn(a));
    EXPECT_EQ(a, 5);
    EXPECT_EQ(waits, 4); // three new lines and one key wait
    EXPECT_FALSE(con.KeyPressed());
}

TEST(ConsolePlainOutput, LinesEndInLineFeedAndClearKeepsScreensApart) {
    ScriptTerminal t;
    Console con(t);
    con.GotoXY(15, 1); // no cursor control in plain text
    con.WriteLn("Gorvenshale");
    con.Write("abc");
    con.ClrScr();
    con.Write(std::string(300, 'w')); // and no wrapping
    EXPECT_EQ(t.output, "Gorvenshale\nabc\n\n<CLS>\n" + std::string(300, 'w'));
}

} // namespace
} // namespace gs
