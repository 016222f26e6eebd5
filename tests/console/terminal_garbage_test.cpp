// Key decoding of byte runs no keyboard sends but a terminal may pass on (a paste, line
// noise): found by fuzzing the console.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "console/console.h"
#include "console/terminal_tty.h"

namespace gs {
namespace {

int decodeAll(const std::string& bytes, std::size_t& left) {
    std::deque<unsigned char> q(bytes.begin() + 1, bytes.end());
    MoreBytes more = [&](int) -> std::optional<unsigned char> {
        if (q.empty()) return std::nullopt;
        unsigned char b = q.front();
        q.pop_front();
        return b;
    };
    std::optional<unsigned char> unread;
    int k = decodeTerminalKey(static_cast<unsigned char>(bytes[0]), more, unread);
    left = q.size();
    return k;
}

TEST(TerminalGarbage, AnEscapeSequenceWithAHugeNumberIsAnUnknownKey) {
    // Fourteen digits used to overflow the sequence's number (undefined behaviour).
    std::size_t left = 0;
    EXPECT_EQ(decodeAll("\x1b[15555555555555~", left), KEY_EXT);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(decodeAll("\x1b[99999999999999D", left), KEY_LEFT); // the final byte still decides
    EXPECT_EQ(decodeAll("\x1b[0000000000001~", left), KEY_HOME);  // leading zeros are no number
}

} // namespace
} // namespace gs
