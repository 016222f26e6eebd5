#include "platform/sdl/surface_painter.h"

#include <algorithm>

namespace gs::sdl {

bool SurfacePainter::use(SDL_Surface* s) {
    s_ = nullptr;
    if (!s || (s->format->BytesPerPixel != 4 && s->format->BytesPerPixel != 2)) return false;
    const Palette& p = vgaPalette();
    for (int i = 0; i < 256; ++i) colours_[i] = SDL_MapRGB(s->format, p[i][0], p[i][1], p[i][2]);
    s_ = s;
    return true;
}

namespace {

template <class Pixel>
void convert(const std::uint8_t* picture, int width, const PixelRect& r, SDL_Surface* s, int atX,
             int atY, const std::array<std::uint32_t, 256>& colours) {
    for (int y = r.top; y <= r.bottom; ++y) {
        const std::uint8_t* in = picture + static_cast<std::size_t>(y) * width;
        auto* out = reinterpret_cast<Pixel*>(static_cast<std::uint8_t*>(s->pixels) +
                                             static_cast<std::size_t>(y + atY) * s->pitch) +
                    atX;
        for (int x = r.left; x <= r.right; ++x) out[x] = static_cast<Pixel>(colours[in[x]]);
    }
}

} // namespace

SDL_Rect SurfacePainter::paint(const std::uint8_t* picture, int width, PixelRect r, int atX,
                               int atY) {
    if (!s_) return {};
    // Only the part that lands on the surface.
    r.left = std::max(r.left, -atX);
    r.top = std::max(r.top, -atY);
    r.right = std::min(r.right, s_->w - 1 - atX);
    r.bottom = std::min(r.bottom, s_->h - 1 - atY);
    if (r.empty()) return {};
    if (SDL_MUSTLOCK(s_) && SDL_LockSurface(s_) != 0) return {};
    if (s_->format->BytesPerPixel == 4)
        convert<std::uint32_t>(picture, width, r, s_, atX, atY, colours_);
    else
        convert<std::uint16_t>(picture, width, r, s_, atX, atY, colours_);
    if (SDL_MUSTLOCK(s_)) SDL_UnlockSurface(s_);
    return SDL_Rect{r.left + atX, r.top + atY, r.width(), r.height()};
}

void SurfacePainter::clear(SDL_Rect r) {
    if (!s_) return;
    const SDL_Rect all{0, 0, s_->w, s_->h};
    SDL_Rect inside{};
    if (SDL_IntersectRect(&r, &all, &inside))
        SDL_FillRect(s_, &inside, SDL_MapRGB(s_->format, 0, 0, 0));
}

} // namespace gs::sdl
