// The keys of piped input as one list: what a page types from its address must be the
// keys the same bytes give the game through a pipe.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "console/terminal_std.h"
#include "system/runtime_error.h"

namespace gs {
namespace {

std::vector<int> throughAPipe(const std::string& bytes) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fds[1]);
    StdTerminal term(fds[0], STDOUT_FILENO);
    std::vector<int> keys;
    try {
        for (;;) keys.push_back(term.waitKey());
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.code, RE_INPUT_ENDED);
    }
    close(fds[0]);
    return keys;
}

TEST(PipedKeys, AreTheKeysAPipeGivesTheGame) {
    // Every line end, a CR LF, a CR then CR LF, both Backspaces, Esc, a UTF-8 character.
    const std::string bytes = "1\n2\r\n3\r\r\n4\b\x7f\x1b\xc3\xa9\n\n";
    const std::vector<int> keys = pipedKeys(bytes);
    EXPECT_EQ(keys, throughAPipe(bytes));
    EXPECT_EQ(keys, (std::vector<int>{'1', KEY_ENTER, '2', KEY_ENTER, '3', KEY_ENTER, KEY_ENTER,
                                      '4', KEY_BACKSPACE, KEY_BACKSPACE, KEY_ESC, 0xC3, 0xA9,
                                      KEY_ENTER, KEY_ENTER}));
}

} // namespace
} // namespace gs
