// The SDL2 windows that show a Graph's picture from a thread of their own: one window per
// battle beside a terminal (battle_window.cpp), or one window for the whole game that
// holds the console's pane too (one_window.cpp). What they share, and the rules of their
// threads, is window_thread.h; the sizes they choose are window_size.cpp.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "console/pane_render.h"
#include "console/pane_terminal.h"
#include "picture/graph.h"

namespace gs {
/// Told on a window's thread after each frame the window shows, how long it took: from
/// taking the changes to the display's having the pixels. For the benchmarks.
using FrameObserver = std::function<void(std::chrono::nanoseconds took)>;

/// The factory Graph uses to open its window beside the terminal: titled "Graph window
/// application", sized from the desktop (or from Config::width/height times the scale
/// when --size was given), the picture the window's area divided by Config::scale.
Graph::WindowFactory sdlWindowFactory(FrameObserver onFrame = {});

/// The connection to the display was lost under a window (the X server went away). The
/// game then ends with its next drawing call or wait for a key in the one window.
bool displayLost();

/// What the desktop offers, in screen pixels; frame sizes are those of a normal window.
struct Desktop {
    int screenW = 0, screenH = 0;                 ///< the primary screen
    int usableW = 0, usableH = 0;                 ///< the screen less panels and docks
    int left = 0, right = 0, top = 0, bottom = 0; ///< window frame; `top` includes the caption
};
/// The picture size the window opens with: the largest of the usual sizes that fits, the
/// largest window the screen holds, or the client area of the maximized window.
struct WindowSize {
    int maxX = 0, maxY = 0; ///< GetMaxX and GetMaxY
    bool maximized = false; ///< open maximized rather than at that client size
};
WindowSize chooseWindowSize(const Desktop& d);

/// How the one window is shared: the battlefield picture's area on top, the console's pane
/// in a band across the window's width below it, its cells centred in the band.
struct WindowLayout {
    PixelRect picture, pane;
    int paneScale = 1; ///< cells of 8 x 16 pixels times this
};
/// The layout of a window of `width` x `height` for a pane of `cols` x `rows` cells: the
/// cells as large as fit the width while the pane takes at most two fifths of the height
/// (at least 8 x 16 pixels each).
WindowLayout oneWindowLayout(int width, int height, int cols, int rows);

/// The one window of --console window: titled "Gorvenshale" (the caller's title), open for
/// the whole game, the console's pane in it and the battlefield picture while a battle is
/// on. Typed text and the editing keys go to the pane's key queue.
class GameWindow {
public:
    struct Setup {
        std::string title;
        Graph::Config picture;        ///< the --size and --scale the pictures follow
        PaneTerminal* pane = nullptr; ///< the console's keyboard and screen
        FrameObserver onFrame;        ///< none in the game
    };
    /// Opens the window; null, with `error` set, when it cannot.
    static std::unique_ptr<GameWindow> open(Setup setup, std::string& error);
    ~GameWindow();
    /// The factory for the game's Graph: InitGraph shows its picture in this window, sized
    /// from the window's picture area (or --size), and CloseGraph takes it away again.
    Graph::WindowFactory pictureFactory();
    /// Every later battle's picture takes the size of the first one, whatever the window's
    /// size is then: a recorded game keeps one picture size, as its demo does.
    void keepFirstPictureSize();
    /// How the game was ended from the window: the player closed it or pressed Ctrl+C in
    /// it, or the display was lost. Either closes the pane, so that the game's wait for a
    /// key ends, and the game's next drawing call raises run-time error 100 as well.
    enum class End { NONE, PLAYER, DISPLAY_LOST };
    End end() const;

    class Impl;

private:
    explicit GameWindow(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace gs
