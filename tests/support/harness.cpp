#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include "system/runtime_error.h"

namespace gs::test {

int ScriptTerminal::take() {
    unsigned char c = static_cast<unsigned char>(input_[pos_++]);
    if (c == '\n' || c == '\r') return KEY_ENTER;
    if (c == 0x01 && pos_ < input_.size()) {
        switch (input_[pos_++]) {
        case 'L': return KEY_LEFT;
        case 'R': return KEY_RIGHT;
        case 'H': return KEY_HOME;
        case 'E': return KEY_END;
        case 'U': return KEY_UP;
        case 'D': return KEY_DOWN;
        default: return KEY_EXT + 59; // F1: a function key the editor ignores
        }
    }
    return c;
}

std::optional<int> ScriptTerminal::pollKey() {
    if (pos_ >= input_.size()) return std::nullopt;
    return take();
}

int ScriptTerminal::waitKey() {
    if (pos_ >= input_.size()) raiseRuntimeError(RE_INPUT_ENDED);
    return take();
}

void ScriptTerminal::moveCursor(int, int) {}

int ScriptedRng::Random(int n) {
    asked.push_back(n);
    if (!values.empty()) {
        int v = values.front();
        values.pop_front();
        EXPECT_TRUE(n <= 0 || (v >= 0 && v < n)) << "scripted " << v << " for Random(" << n << ")";
        return v;
    }
    if (fallback) return n <= 0 ? 0 : std::min(*fallback, n - 1);
    return Rng::Random(n);
}

TestGame::TestGame(std::string input, int width, int height)
    : gr(Graph::Config{true, width, height, true}), term(std::move(input)), con(term),
      clk(Clock::Config{true, 0u}), G(gr, con, clk, rnd) {}

void TestGame::openGraph() {
    G.GD = 0;
    G.GM = 30000;
    gr.InitGraph(G.GD, G.GM, "");
}

} // namespace gs::test
