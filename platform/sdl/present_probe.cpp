#include "platform/sdl/present_probe.h"

#include "platform/sdl/painter.h"

namespace gs {

namespace {

using namespace sdl;

class SdlPresentProbe : public PresentProbe {
public:
    ~SdlPresentProbe() override {
        painter_.destroy();
        if (win_) SDL_DestroyWindow(win_);
        if (up_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    bool open(int w, int h, std::string& error) {
        quietHints();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            error = SDL_GetError();
            return false;
        }
        up_ = true;
        win_ = SDL_CreateWindow(kTitle, 0, 0, w, h, SDL_WINDOW_HIDDEN);
        if (!win_) {
            error = SDL_GetError();
            return false;
        }
        return painter_.make(win_, w, h, false, error);
    }
    void present(const Graph& g) override { painter_.present(g); }

private:
    bool up_ = false;
    SDL_Window* win_ = nullptr;
    Painter painter_;
};

} // namespace

std::unique_ptr<PresentProbe> PresentProbe::open(int w, int h, std::string& error) {
    auto p = std::make_unique<SdlPresentProbe>();
    if (!p->open(w, h, error)) return nullptr;
    return p;
}

} // namespace gs
