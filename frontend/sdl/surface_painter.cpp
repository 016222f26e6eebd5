#include "frontend/sdl/surface_painter.h"

#include <algorithm>

#include "picture/picture_view.h"

namespace gs::sdl {

namespace {

SDL_Rect sdlRect(const PixelRect& a) {
    if (a.empty()) return {};
    return SDL_Rect{a.x, a.y, a.width, a.height};
}

/// Holds the surface's pixels still for the painting.
class SurfaceLock {
public:
    explicit SurfaceLock(SDL_Surface* s) : s_(s) {
        ok_ = !SDL_MUSTLOCK(s_) || SDL_LockSurface(s_) == 0;
    }
    ~SurfaceLock() {
        if (ok_ && SDL_MUSTLOCK(s_)) SDL_UnlockSurface(s_);
    }
    bool ok() const { return ok_; }

private:
    SDL_Surface* s_;
    bool ok_ = false;
};

} // namespace

bool SurfacePainter::use(SDL_Surface* s) {
    s_ = nullptr;
    if (!s || (s->format->BytesPerPixel != 4 && s->format->BytesPerPixel != 2)) return false;
    colours_ = pixelPalette([s](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return SDL_MapRGB(s->format, r, g, b);
    });
    s_ = s;
    return true;
}

SDL_Rect SurfacePainter::paint(const std::uint8_t* picture, int width, int height,
                               PixelRect changed, PixelRect shown, PixelRect bounds) {
    if (!s_) return {};
    bounds = bounds.clippedTo(PixelRect{0, 0, s_->w, s_->h});
    if (bounds.empty()) return {};
    SurfaceLock lock(s_);
    if (!lock.ok()) return {};
    if (s_->format->BytesPerPixel == 4) {
        const PixelTarget target{static_cast<std::uint32_t*>(s_->pixels),
                                 s_->pitch,
                                 bounds.x,
                                 bounds.y,
                                 bounds.width,
                                 bounds.height};
        return sdlRect(paintPicture(picture, width, height, changed, target, shown, colours_));
    }
    return sdlRect(paintPicture16(picture, width, height, changed,
                                  static_cast<std::uint16_t*>(s_->pixels), s_->pitch, bounds, shown,
                                  colours_));
}

SDL_Rect SurfacePainter::paintPane(PaneRenderer& pane, PixelRect area, const PaneLook& look) {
    if (!fourBytes()) return {};
    area = area.clippedTo(PixelRect{0, 0, s_->w, s_->h});
    if (area.empty()) return {};
    SurfaceLock lock(s_);
    if (!lock.ok()) return {};
    const PixelTarget target{static_cast<std::uint32_t*>(s_->pixels),
                             s_->pitch,
                             area.x,
                             area.y,
                             area.width,
                             area.height};
    return sdlRect(pane.render(target, colours_, look));
}

void SurfacePainter::clear(PixelRect r) {
    if (!s_) return;
    r = r.clippedTo(PixelRect{0, 0, s_->w, s_->h});
    if (r.empty()) return;
    const SDL_Rect inside = sdlRect(r);
    SDL_FillRect(s_, &inside, SDL_MapRGB(s_->format, 0, 0, 0));
}

} // namespace gs::sdl
