// A game for the enemy's tests in which every Delay is a frame the test can look at:
// the picture as the player sees it during that pause. Nothing sleeps; the clock
// only counts, as the fast clock does.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/harness.h"

namespace gs::test {

/// Calls `onFrame` at every pause instead of sleeping.
class FrameClock : public Clock {
public:
    FrameClock() : Clock(Config{false, 0u}) {}
    std::function<void(std::uint16_t)> onFrame;
    std::vector<std::uint16_t> delays; ///< every pause asked for, in order

protected:
    void sleepMs(std::uint16_t ms) override {
        delays.push_back(ms);
        if (onFrame) onFrame(ms);
    }
};

/// Centre of the pixels of one colour: the middle of their bounding box.
struct Spot {
    int x = INT_MIN, y = INT_MIN;
    bool found() const { return x != INT_MIN; }
    bool operator==(const Spot&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Spot& s) {
    return os << "(" << s.x << ", " << s.y << ")";
}

/// Centre of the bounding box of every pixel of `colour` (not found when none).
inline Spot centreOf(const Graph& g, int colour) {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    const auto& px = g.pixels();
    for (int y = 0; y < g.height(); ++y) {
        const std::uint8_t* row = px.data() + static_cast<std::size_t>(y) * g.width();
        for (int x = 0; x < g.width(); ++x)
            if (row[x] == colour) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    }
    if (x0 > x1) return {};
    return {(x0 + x1) / 2, (y0 + y1) / 2};
}

/// A whole game on a small headless picture with a frame clock and a scripted
/// random source. `explosions` collects the x of every ground explosion, read from
/// the white ring each blast draws first: radius 30, centred 15 pixels left of the
/// blast point, so its rightmost new pixel lies 15 pixels right of it.
struct EnemyRig {
    explicit EnemyRig(int width = 1280, int height = 600, std::string keys = {})
        : gr(Graph::Config{true, width, height, true}), term(std::move(keys)), con(term),
          G(gr, con, clk, rnd) {
        G.GD = 0;
        G.GM = 30000;
        gr.InitGraph(G.GD, G.GM, "");
        clk.onFrame = [this](std::uint16_t ms) { frame(ms); };
    }
    Graph gr;
    ScriptTerminal term;
    Console con;
    FrameClock clk;
    ScriptedRng rnd;
    Game G;

    /// Called at every pause; tests add their own look at the picture here.
    std::function<void(std::uint16_t)> look;
    std::vector<int> explosions;
    std::vector<int> gunAtExplosion; ///< GUNHP when each blast was drawn (before its damage)

    /// Number of pauses of `ms` milliseconds so far.
    int count(std::uint16_t ms) const {
        int n = 0;
        for (auto d : clk.delays) n += d == ms;
        return n;
    }

private:
    std::vector<std::uint8_t> before_;
    std::uint16_t last_ = 0;
    void frame(std::uint16_t ms) {
        // The first half of a blast: compare with the previous frame and find the ring.
        if (ms == 150 && last_ != 150 && !before_.empty()) {
            const auto& px = gr.pixels();
            int right = INT_MIN;
            for (std::size_t i = 0; i < px.size(); ++i)
                if (px[i] == 15 && before_[i] != 15)
                    right = std::max(right, static_cast<int>(i % gr.width()));
            explosions.push_back(right == INT_MIN ? INT_MIN : right - 15);
            gunAtExplosion.push_back(G.GUNHP);
        }
        last_ = ms;
        if (look) look(ms);
        before_.assign(gr.pixels().begin(), gr.pixels().end());
    }
};

} // namespace gs::test
