// What the window thread and the present probe share: the title, the SDL hints, and the
// painter that converts the picture and presents it.
#pragma once

#include <SDL.h>

#include <array>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/graph.h"

namespace gs::sdl {

inline const char* const kTitle = "Graph window application";

// A renderer with a streaming texture the size of the picture.
class Painter {
public:
    ~Painter() { destroy(); }
    bool make(SDL_Window* win, int w, int h, bool vsync, std::string& error) {
        ren_ = SDL_CreateRenderer(
            win, -1, SDL_RENDERER_ACCELERATED | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
        if (!ren_) ren_ = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
        if (ren_)
            tex_ = SDL_CreateTexture(ren_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w,
                                     h);
        if (!ren_ || !tex_) {
            error = SDL_GetError();
            destroy();
            return false;
        }
        w_ = w;
        h_ = h;
        copy_.resize(static_cast<std::size_t>(w) * h);
        const Palette& p = vgaPalette();
        for (int i = 0; i < 256; ++i)
            lut_[i] = 0xFF000000u | (std::uint32_t{p[i][0]} << 16) | (std::uint32_t{p[i][1]} << 8) |
                      p[i][2];
        return true;
    }
    void destroy() {
        if (tex_) SDL_DestroyTexture(tex_);
        if (ren_) SDL_DestroyRenderer(ren_);
        tex_ = nullptr;
        ren_ = nullptr;
    }
    // Shows the picture 1:1 at the window's top-left corner; a larger window shows black
    // around it, a smaller one crops it, as a window of fixed contents would.
    void present(const Graph& g) {
        if (!ren_) return;
        bool have = false;
        {
            std::lock_guard<std::mutex> lock(g.pictureLock());
            if (g.width() == w_ && g.height() == h_ && g.pixels().size() == copy_.size()) {
                std::memcpy(copy_.data(), g.pixels().data(), copy_.size());
                have = true;
            }
        }
        SDL_SetRenderDrawColor(ren_, 0, 0, 0, 255);
        SDL_RenderClear(ren_);
        if (have) {
            void* dst = nullptr;
            int pitch = 0;
            if (SDL_LockTexture(tex_, nullptr, &dst, &pitch) == 0) {
                for (int y = 0; y < h_; ++y) {
                    auto* out = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(dst) +
                                                                 std::size_t(y) * pitch);
                    const std::uint8_t* in = copy_.data() + std::size_t(y) * w_;
                    for (int x = 0; x < w_; ++x) out[x] = lut_[in[x]];
                }
                SDL_UnlockTexture(tex_);
            }
            SDL_Rect r{0, 0, w_, h_};
            SDL_RenderCopy(ren_, tex_, nullptr, &r);
        }
        SDL_RenderPresent(ren_);
    }

private:
    SDL_Renderer* ren_ = nullptr;
    SDL_Texture* tex_ = nullptr;
    int w_ = 0, h_ = 0;
    std::vector<std::uint8_t> copy_;
    std::array<std::uint32_t, 256> lut_{};
};

inline void quietHints() {
    // The player types in the terminal: showing the window must not take the focus.
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
    // Ctrl+C in the terminal must still end the game, not become a window event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
#ifdef SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
#endif
}

} // namespace gs::sdl
