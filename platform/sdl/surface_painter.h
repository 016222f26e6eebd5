// Converts rectangles of the game's indexed picture into a window surface's pixels.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

#include "platform/graph.h"

namespace gs::sdl {

class SurfacePainter {
public:
    /// Paints into `s` from now on; false when its pixel format is one the painter cannot
    /// write (only 16- and 32-bit pixels are).
    bool use(SDL_Surface* s);
    /// Converts rectangle `r` of `picture` (`width` pixels a row) into the surface, the
    /// picture's top-left corner at (`atX`, `atY`); what falls outside the surface is left
    /// out. Returns the part of the surface it changed.
    SDL_Rect paint(const std::uint8_t* picture, int width, PixelRect r, int atX, int atY);
    /// Fills a rectangle of the surface black, clipped to the surface.
    void clear(SDL_Rect r);

private:
    SDL_Surface* s_ = nullptr;
    std::array<std::uint32_t, 256> colours_{}; ///< each palette index in the surface's format
};

} // namespace gs::sdl
