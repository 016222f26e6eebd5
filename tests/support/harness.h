// Test doubles: a scripted terminal, a scripted random source, and a whole Game on a
// headless picture with the virtual clock.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "console/text_grid.h"
#include "state/game.h"

namespace gs::test {

/// Keys come from a string (LF or CR is Enter); output is collected as plain text.
class ScriptTerminal : public Terminal {
public:
    explicit ScriptTerminal(std::string input = {}) : input_(std::move(input)) {}
    void feed(const std::string& more) { input_ += more; }
    std::optional<int> pollKey() override;
    int waitKey() override;
    void write(std::string_view bytes) override { output += bytes; }
    void clear() override {
        ++clears;
        output += "\n<CLS>\n";
    }
    void moveCursor(int col, int row) override;
    bool isScreen() const override { return false; }
    /// Keys not yet taken.
    std::size_t pending() const { return input_.size() - pos_; }

    std::string output;
    int clears = 0;
    /// Each key is a single byte, except these escapes: "\x01L" Left, "\x01R" Right,
    /// "\x01H" Home, "\x01E" End, "\x01U" Up, "\x01D" Down.
private:
    int take();
    std::string input_;
    std::size_t pos_ = 0;
};

/// Scripted keys on a screen of cells, as the one window's pane and the web page have.
class ScriptedGrid : public ScriptTerminal {
public:
    ScriptedGrid(int cols, int rows, std::string keys)
        : ScriptTerminal(std::move(keys)), grid(cols, rows) {}
    bool isScreen() const override { return true; }
    int cols() const override { return grid.cols(); }
    int rows() const override { return grid.rows(); }
    void write(std::string_view bytes) override { grid.write(bytes); }
    void clear() override { grid.clear(); }
    void moveCursor(int col, int row) override { grid.moveCursor(col, row); }
    TextGrid grid;
};

/// Random(n) answers from a script while it lasts, then from the seeded generator.
/// Records every n asked for, so tests can check the order of draws.
class ScriptedRng : public Rng {
public:
    int Random(int n) override;
    void script(std::initializer_list<int> v) { values.insert(values.end(), v); }
    std::deque<int> values;
    std::vector<int> asked;
    /// When set, every unscripted draw returns this instead of a random value.
    std::optional<int> fallback;
};

/// A complete game for in-process tests.
struct TestGame {
    explicit TestGame(std::string input = {}, int width = 1280, int height = 1024);
    Graph gr;
    ScriptTerminal term;
    Console con;
    Clock clk;
    ScriptedRng rnd;
    Game G;
    /// Opens the headless picture as the battle does.
    void openGraph();
};

} // namespace gs::test
