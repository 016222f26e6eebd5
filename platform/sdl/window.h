// The SDL2 window that shows a Graph's picture from its own thread.
#pragma once
#include <memory>
#include <string>

#include "platform/graph.h"

namespace gs {
/// The factory Graph uses to open its window: titled "Graph window application",
/// sized from the desktop (or Config::width/height when --size was given).
Graph::WindowFactory sdlWindowFactory();

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

} // namespace gs
