// The pane's keyboard: keys as a terminal gives them, a game thread that sleeps until the
// window's thread types, and a window that goes away while the game waits.
#include <gtest/gtest.h>

#include <deque>
#include <future>
#include <thread>

#include "console/pane_terminal.h"
#include "console/terminal_tty.h"
#include "system/runtime_error.h"

namespace gs {
namespace {

/// Lets the test's other thread run until the game is blocked waiting for a key. Threads
/// only, no clock: the bound is on the number of turns given away.
void untilWaiting(const PaneTerminal& pane) {
    for (long turns = 0; !pane.waitingForKey(); ++turns) {
        ASSERT_LT(turns, 100'000'000L) << "the game never began to wait";
        std::this_thread::yield();
    }
}

int decoded(const std::string& bytes) {
    std::deque<unsigned char> rest(bytes.begin() + 1, bytes.end());
    std::optional<unsigned char> unread;
    return decodeTerminalKey(
        static_cast<unsigned char>(bytes[0]),
        [&](int) -> std::optional<unsigned char> {
            if (rest.empty()) return std::nullopt;
            unsigned char b = rest.front();
            rest.pop_front();
            return b;
        },
        unread);
}

TEST(PaneKeys, EachKeyIsTheKeyATerminalSendsAndTextIsOneKeyPerByte) {
    const std::pair<PaneKey, std::string> keys[] = {
        {PaneKey::Enter, "\r"},       {PaneKey::Backspace, "\x7f"},   {PaneKey::Escape, "\x1b"},
        {PaneKey::Left, "\x1b[D"},    {PaneKey::Right, "\x1b[C"},     {PaneKey::Home, "\x1b[H"},
        {PaneKey::End, "\x1b[F"},     {PaneKey::Up, "\x1b[A"},        {PaneKey::Down, "\x1b[B"},
        {PaneKey::PageUp, "\x1b[5~"}, {PaneKey::PageDown, "\x1b[6~"}, {PaneKey::Insert, "\x1b[2~"},
        {PaneKey::Delete, "\x1b[3~"}, {PaneKey::F1, "\x1bOP"},        {PaneKey::F4, "\x1bOS"},
        {PaneKey::Other, "\x1b[15~"},
    };
    PaneTerminal pane(80, 20);
    EXPECT_FALSE(pane.pollKey()); // nothing typed: no key, no wait
    for (const auto& [key, bytes] : keys) {
        pane.pressKey(key);
        EXPECT_EQ(pane.pollKey(), decoded(bytes)) << bytes.substr(1);
    }
    pane.typeText("1\xC3\xA4");
    EXPECT_EQ(pane.waitKey(), '1');
    EXPECT_EQ(pane.waitKey(), 0xC3);
    EXPECT_EQ(pane.pollKey(), 0xA4);
    // A full keyboard buffer drops what comes after.
    pane.typeText(std::string(PaneTerminal::MAX_QUEUED_KEYS + 10, 'k'));
    std::size_t queued = 0;
    while (pane.pollKey()) ++queued;
    EXPECT_EQ(queued, PaneTerminal::MAX_QUEUED_KEYS);
}

TEST(PaneKeys, AWaitingGameWakesForATypedKeyAndForTheWindowClosing) {
    PaneTerminal pane(80, 20);
    Console con(pane);
    // The key that ends a key wait stays pending and opens the answer; the echo is on the
    // pane before the game waits for the next key.
    auto game = std::async(std::launch::async, [&] {
        con.WaitKey();
        i16 answer = 0;
        if (!con.ReadLn(answer)) return i16(-1);
        return answer;
    });
    untilWaiting(pane);
    pane.typeText("4");
    untilWaiting(pane);
    EXPECT_EQ(pane.grid().rowText(1).substr(0, 2), "4 ");
    pane.typeText("2");
    untilWaiting(pane);
    EXPECT_EQ(pane.grid().cursor(), (GridPos{3, 1}));
    pane.pressKey(PaneKey::Enter);
    EXPECT_EQ(game.get(), 42);

    // Keys typed before the window went are still taken; then every wait ends at once.
    auto lastKeys = std::async(std::launch::async, [&] {
        std::string got;
        try {
            for (;;) got += static_cast<char>(pane.waitKey());
        } catch (const RuntimeError& e) {
            got += "|" + std::to_string(e.code);
        }
        return got;
    });
    untilWaiting(pane);
    pane.typeText("ab");
    pane.close();
    EXPECT_EQ(lastKeys.get(), "ab|100");
    pane.typeText("c");
    EXPECT_FALSE(pane.pollKey());
    EXPECT_THROW(pane.waitKey(), RuntimeError);
}

} // namespace
} // namespace gs
