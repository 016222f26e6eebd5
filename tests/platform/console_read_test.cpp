// The console's reads and line editing, on a scripted terminal with plain output.
#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/runtime_error.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

using test::ScriptTerminal;

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.code;
    }
    return 0;
}

TEST(NumberToken, NotationsSignsAndRange) {
    struct Case {
        const char* tok;
        bool isUnsigned;
        std::optional<std::int64_t> v;
    } cases[] = {
        {"12", false, 12},
        {"+7", false, 7},
        {"-7", false, -7},
        {"$1F", false, 31},
        {"0x1f", false, 31},
        {"-$10", false, -16},
        {"%101", false, 5},
        {"&17", false, 15},
        {"2147483647", false, 2147483647},
        {"-2147483648", false, -2147483648LL},
        {"2147483648", false, std::nullopt},
        {"4294967295", true, 4294967295LL},
        {"4294967296", true, std::nullopt},
        {"-1", true, std::nullopt},
        {"+1", true, 1},
        {"1x", false, std::nullopt},
        {"x", false, std::nullopt},
        {"-", false, std::nullopt},
        {"$", false, std::nullopt},
        {"0x", false, std::nullopt},
        {"%2", false, std::nullopt},
        {"&8", false, std::nullopt},
        {"1.5", false, std::nullopt},
        {"$fg", false, std::nullopt},
        {"", false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseNumberToken(c.tok, c.isUnsigned), c.v) << "token '" << c.tok << "'";
}

TEST(ConsoleRead, StoresLowBitsOfTheValue) {
    ScriptTerminal t("32768\n65535\n-32769\n257\n$1FF\n");
    Console con(t);
    i16 a = 0;
    con.ReadLn(a);
    EXPECT_EQ(a, -32768);
    con.ReadLn(a);
    EXPECT_EQ(a, -1);
    con.ReadLn(a);
    EXPECT_EQ(a, 32767);
    EXPECT_EQ(con.ReadUnsigned(), 1);
    EXPECT_EQ(con.ReadUnsigned(), 255);
}

TEST(ConsoleRead, UnsignedReadLeavesTheRestOfTheLine) {
    // "1 3" answers two menus without a second line being typed.
    ScriptTerminal t("1 3\n");
    Console con(t);
    EXPECT_EQ(con.ReadUnsigned(), 1);
    EXPECT_EQ(con.bufferedInput(), " 3\r\n");
    EXPECT_EQ(con.ReadUnsigned(), 3);
    EXPECT_EQ(t.pending(), 0u);
}

TEST(ConsoleRead, BlankLinesDoNotAnswerAndTwoNumbersMaySpanLines) {
    ScriptTerminal t("\n   \n12 34 extra\n\n12\n34\n");
    Console con(t);
    i16 v = 0, a = 0;
    con.ReadLn(v, a);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(a, 34);
    EXPECT_EQ(con.bufferedInput(), ""); // "extra" went with the rest of the line
    con.ReadLn(v, a);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(a, 34);
}

TEST(ConsoleRead, CharacterReadGivesCarriageReturnForAnEmptyLine) {
    ScriptTerminal t("\nyes\nN");
    Console con(t);
    EXPECT_EQ(con.ReadCharLn(), 13);
    EXPECT_EQ(con.ReadCharLn(), 'y');
    EXPECT_EQ(con.bufferedInput(), "");
    // After a menu read the line end is still there: the character read takes it.
    ScriptTerminal t2("2\n");
    Console con2(t2);
    EXPECT_EQ(con2.ReadUnsigned(), 2);
    EXPECT_EQ(con2.ReadCharLn(), 13);
}

TEST(ConsoleRead, FailuresEndWithTheirErrorNumbers) {
    auto read16 = [](const char* in) {
        return errorOf([&] {
            ScriptTerminal t(in);
            Console con(t);
            i16 a;
            con.ReadLn(a);
        });
    };
    EXPECT_EQ(read16("1x\n"), RE_INVALID_NUMBER);
    EXPECT_EQ(read16("3000000000\n"), RE_INVALID_NUMBER);
    EXPECT_EQ(read16("12"), RE_INPUT_ENDED); // no Enter before the input ended
    EXPECT_EQ(read16("\n \n"), RE_INPUT_ENDED);
    EXPECT_EQ(read16("-5\n"), 0);
    EXPECT_EQ(errorOf([] {
                  ScriptTerminal t("-1\n");
                  Console con(t);
                  con.ReadUnsigned();
              }),
              RE_INVALID_NUMBER);
    EXPECT_EQ(errorOf([] {
                  ScriptTerminal t("");
                  Console con(t);
                  con.WaitKey();
              }),
              RE_INPUT_ENDED);
}

TEST(ConsoleLineEdit, BackspaceEscAndCursorKeysEditTheLine) {
    struct Case {
        const char* keys;
        const char* line;
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
    };
    for (const Case& c : cases) {
        ScriptTerminal t(c.keys);
        Console con(t);
        EXPECT_EQ(con.ReadCharLn(), c.line[0]) << c.keys;
        ScriptTerminal t2(c.keys);
        Console con2(t2);
        con2.ReadCharLn();
        // The plain echo is the finished line, as it was entered.
        EXPECT_EQ(t2.output, std::string(c.line) + "\n") << c.keys;
    }
}

TEST(ConsoleLineEdit, LineHoldsAtMost254Characters) {
    ScriptTerminal t(std::string(300, '7') + "\n");
    Console con(t);
    con.ReadCharLn();
    EXPECT_EQ(t.output, std::string(254, '7') + "\n");
    // Typing over is still possible in a full line.
    ScriptTerminal t2(std::string(254, '1') + "9\x01H" + "5\n");
    Console con2(t2);
    EXPECT_EQ(con2.ReadCharLn(), '5');
    EXPECT_EQ(t2.output.size(), 255u);
}

TEST(ConsoleKeys, PendingKeyBecomesFirstCharacterOfTheNextLine) {
    ScriptTerminal t("7\n");
    Console con(t);
    EXPECT_TRUE(con.KeyPressed());
    EXPECT_TRUE(con.KeyPressed()); // does not consume
    EXPECT_EQ(t.pending(), 1u);
    i16 a = 0;
    con.ReadLn(a);
    EXPECT_EQ(a, 7);
    EXPECT_FALSE(con.KeyPressed());

    // A key wait leaves its key pending; Enter there makes the next line empty.
    ScriptTerminal t2("\n5\n");
    Console con2(t2);
    con2.WaitKey();
    EXPECT_EQ(con2.ReadCharLn(), 13);
    con2.ReadLn(a);
    EXPECT_EQ(a, 5);
}

TEST(ConsoleKeys, PlayerWaitHookFiresForEachNewLineAndKeyWait) {
    ScriptTerminal t("1 2\n3\nk");
    Console con(t);
    int waits = 0;
    con.onPlayerWait = [&] { ++waits; };
    con.ReadUnsigned(); // needs a line
    con.ReadUnsigned(); // from the buffer
    EXPECT_EQ(waits, 1);
    i16 a;
    con.ReadLn(a); // the rest " \r\n" is skipped, then a new line
    EXPECT_EQ(waits, 2);
    con.WaitKey();
    EXPECT_EQ(waits, 3);
}

TEST(ConsolePlainOutput, LinesEndInLineFeedAndClearKeepsScreensApart) {
    ScriptTerminal t;
    Console con(t);
    EXPECT_FALSE(con.screen());
    con.GotoXY(15, 1); // no cursor control in plain text
    con.WriteLn("Gorvenshale");
    con.Write("abc");
    con.ClrScr();
    con.Write(std::string(300, 'w'));
    EXPECT_EQ(t.output, "Gorvenshale\nabc\n\n<CLS>\n" + std::string(300, 'w'));
}

} // namespace
} // namespace gs
