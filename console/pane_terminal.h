// The console's terminal inside the game window: the screen is a TextGrid that the window
// draws, the keys come from a queue that the window's thread fills.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>

#include "console/console.h"
#include "console/text_grid.h"

namespace gs {

/// The keys of the window's keyboard besides typed text. Enter, Backspace, Esc and the
/// cursor keys the line editor uses become the console's KEY_ codes; the others become
/// the codes a terminal's escape sequences give them (KEY_EXT + scan code), so that a
/// recording is the same in both modes. Other: a key the game has no use for.
enum class PaneKey {
    Enter,
    Backspace,
    Escape,
    Left,
    Right,
    Home,
    End,
    Up,
    Down,
    PageUp,
    PageDown,
    Insert,
    Delete,
    F1,
    F2,
    F3,
    F4,
    Other,
};

/// The console key a PaneKey gives.
int paneKeyCode(PaneKey key);

/// A terminal whose screen is a TextGrid that the game draws itself (the one window's pane,
/// the web page's console): the console's output lands in its cells.
class GridTerminal : public Terminal {
public:
    GridTerminal(int cols, int rows) : grid_(cols, rows) {}
    void write(std::string_view bytes) override { grid_.write(bytes); }
    void clear() override { grid_.clear(); }
    void moveCursor(int col, int row) override { grid_.moveCursor(col, row); }
    bool isScreen() const override { return true; }
    int cols() const override { return grid_.cols(); }
    int rows() const override { return grid_.rows(); }

    TextGrid& grid() { return grid_; }
    const TextGrid& grid() const { return grid_; }

protected:
    TextGrid grid_;
};

class PaneTerminal : public GridTerminal {
public:
    /// Keys typed ahead beyond this many are dropped, as a full keyboard buffer drops them.
    static constexpr std::size_t MAX_QUEUED_KEYS = 4096;

    PaneTerminal(int cols, int rows) : GridTerminal(cols, rows) {}

    // ---- The console's side (the game's thread) ----
    std::optional<int> pollKey() override;
    /// Blocks on a condition variable until a key comes. Once the window is gone and the
    /// keys typed before are taken, raises run-time error 100, as the end of any input.
    int waitKey() override;

    // ---- The window's side (any thread) ----

    /// Text from the desktop's text input, UTF-8: every byte is one key, as the line
    /// editor takes typed bytes.
    void typeText(std::string_view utf8);
    void pressKey(PaneKey key);
    /// The window is gone: a waiting game wakes up, and no key comes any more.
    void close();
    bool closed() const;
    /// True while the game is blocked in waitKey and no key has come for it yet.
    bool waitingForKey() const;

private:
    void push(int key);

    mutable std::mutex mutex_;
    std::condition_variable keyCame_;
    std::deque<int> keys_;
    bool closed_ = false;
    bool waiting_ = false;
};

} // namespace gs
