// Paints the game's indexed picture, scaled to its place, and the console's pane into a
// window surface's pixels.
#pragma once

#include <SDL.h>

#include "console/pane_render.h"
#include "picture/graph.h"

namespace gs::sdl {

class SurfacePainter {
public:
    /// Paints into `s` from now on; false when its pixel format is one the painter cannot
    /// write (only 16- and 32-bit pixels are).
    bool use(SDL_Surface* s);
    /// Paints rectangle `changed` of the picture (`width` x `height`) into its place
    /// `shown` on the surface, cut to `bounds` and to the surface. Returns the part of the
    /// surface it changed.
    SDL_Rect paint(const std::uint8_t* picture, int width, int height, PixelRect changed,
                   PixelRect shown, PixelRect bounds);
    /// Brings the pane drawn by `pane` in `area` up to date (32-bit surfaces only, which
    /// the one window asks for). Returns the part of the surface it changed.
    SDL_Rect paintPane(PaneRenderer& pane, PixelRect area, const PaneLook& look);
    /// Fills a rectangle of the surface black, clipped to the surface.
    void clear(PixelRect r);
    bool fourBytes() const { return s_ && s_->format->BytesPerPixel == 4; }
    int width() const { return s_ ? s_->w : 0; }
    int height() const { return s_ ? s_->h : 0; }

private:
    SDL_Surface* s_ = nullptr;
    PixelPalette colours_{}; ///< each palette index in the surface's format
};

} // namespace gs::sdl
