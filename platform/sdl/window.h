// The SDL2 window that shows a Graph's picture from its own thread.
#pragma once
#include "platform/graph.h"

namespace gs {
/// The factory Graph uses to open its window: titled "Graph window application",
/// sized from the desktop (or Config::width/height when --size was given).
Graph::WindowFactory sdlWindowFactory();
} // namespace gs
