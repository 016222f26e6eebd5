// The graphics window: an SDL2 window with a thread of its own that keeps showing the
// picture while the game sleeps in Delay or waits at the console.
//
// The thread owns everything SDL. It wakes when the picture changed (or the desktop asks
// for a repaint), copies the picture under the picture lock, and converts and presents it
// after letting go of the lock, so the game is held up only for one memcpy.
#include "platform/sdl/window.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace gs {

namespace {

const char* const kTitle = "Graph window application";

// A renderer with a streaming texture the size of the picture.
class Painter {
public:
    ~Painter() { destroy(); }
    bool make(SDL_Window* win, int w, int h, bool vsync, std::string& error) {
        ren_ = SDL_CreateRenderer(win, -1, SDL_RENDERER_ACCELERATED | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
        if (!ren_) ren_ = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
        if (ren_) tex_ = SDL_CreateTexture(ren_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h);
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
            lut_[i] = 0xFF000000u | (std::uint32_t{p[i][0]} << 16) | (std::uint32_t{p[i][1]} << 8) | p[i][2];
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
                    auto* out = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(dst) + std::size_t(y) * pitch);
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

void quietHints() {
    // The player types in the terminal: showing the window must not take the focus.
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
    // Ctrl+C in the terminal must still end the game, not become a window event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
#ifdef SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
#endif
}

class SdlWindow : public Presenter {
public:
    SdlWindow(Graph& g, const Graph::Config& c) : g_(g), cfg_(c) {}
    ~SdlWindow() override {
        quit_ = true;
        wake();
        if (thread_.joinable()) thread_.join();
    }

    bool start(std::string& error) {
        // The thread owns the promise too: it may still be inside set_value when get()
        // returns here, so the promise must outlive this frame.
        auto ready = std::make_shared<std::promise<std::string>>();
        std::future<std::string> result = ready->get_future();
        thread_ = std::thread([this, ready] { run(*ready); });
        error = result.get();
        if (error.empty()) return true;
        thread_.join();
        return false;
    }

    void changed() override {
        if (!dirty_.exchange(true)) wake();
    }
    std::pair<int, int> clientSize() const override { return {w_, h_}; }

private:
    void wake() {
        std::lock_guard<std::mutex> lock(life_);
        if (!sdlUp_) return;
        SDL_Event e{};
        e.type = wakeType_;
        SDL_PushEvent(&e);
    }

    void run(std::promise<std::string>& ready) {
        runWindow(ready);
        // SDL keeps per-thread data (its error text) that only this call frees for a
        // thread it did not create; every level's window has a thread of its own.
        SDL_TLSCleanup();
    }

    void runWindow(std::promise<std::string>& ready) {
        quietHints();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            ready.set_value(std::string("Window registration failed (") + SDL_GetError() + ")");
            return;
        }
        SDL_EventState(SDL_TEXTINPUT, SDL_DISABLE);
        SDL_EventState(SDL_KEYDOWN, SDL_DISABLE);
        SDL_EventState(SDL_KEYUP, SDL_DISABLE);
        std::string error;
        SDL_Window* win = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                           SDL_WINDOW_HIDDEN);
        if (win) {
            WindowSize size{cfg_.width - 1, cfg_.height - 1, false};
            if (!cfg_.sizeGiven) size = chooseWindowSize(desktop(win));
            maximized_ = size.maximized;
            w_ = std::clamp(size.maxX + 1, 1, 32767);
            h_ = std::clamp(size.maxY + 1, 1, 32767);
            SDL_SetWindowSize(win, w_, h_);
            SDL_SetWindowPosition(win, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
            if (!painter_.make(win, w_, h_, true, error)) {
                SDL_DestroyWindow(win);
                win = nullptr;
            } else {
                // Centred again for the size it now has: making the renderer may make the
                // window anew where the first, 640 x 480 one was centred, which left the
                // right and bottom of a larger picture off the screen.
                SDL_Rect r{};
                if (SDL_GetDisplayUsableBounds(0, &r) == 0)
                    SDL_SetWindowPosition(win, r.x + std::max(0, (r.w - w_) / 2),
                                          r.y + std::max(0, (r.h - h_) / 2));
            }
        } else {
            error = SDL_GetError();
        }
        if (!win) {
            SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kTitle, "Window creation failed", nullptr);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            ready.set_value("Window creation failed (" + error + ")");
            return;
        }
        const Uint32 id = SDL_GetWindowID(win);
        if (maximized_) SDL_MaximizeWindow(win);
        SDL_ShowWindow(win);
        {
            std::lock_guard<std::mutex> lock(life_);
            wakeType_ = SDL_RegisterEvents(1);
            sdlUp_ = wakeType_ != static_cast<Uint32>(-1);
        }
        ready.set_value("");

        while (!quit_) {
            bool show = false;
            SDL_Event e;
            if (SDL_WaitEventTimeout(&e, 100)) {
                do {
                    if (e.type != SDL_WINDOWEVENT || e.window.windowID != id || !win) continue;
                    switch (e.window.event) {
                    case SDL_WINDOWEVENT_CLOSE:
                        // The player closed the window: the game plays on without it.
                        painter_.destroy();
                        SDL_DestroyWindow(win);
                        win = nullptr;
                        break;
                    case SDL_WINDOWEVENT_EXPOSED:
                    case SDL_WINDOWEVENT_SHOWN:
                    case SDL_WINDOWEVENT_RESTORED:
                    case SDL_WINDOWEVENT_MAXIMIZED:
                    case SDL_WINDOWEVENT_SIZE_CHANGED:
                        show = true;
                        break;
                    default:
                        break;
                    }
                } while (SDL_PollEvent(&e));
            }
            if (quit_) break;
            if (dirty_.exchange(false)) show = true;
            if (show && win) painter_.present(g_);
        }

        {
            std::lock_guard<std::mutex> lock(life_);
            sdlUp_ = false;
        }
        painter_.destroy();
        if (win) SDL_DestroyWindow(win);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    static Desktop desktop(SDL_Window* win) {
        Desktop d;
        SDL_Rect r{};
        if (SDL_GetDisplayBounds(0, &r) == 0) d.screenW = r.w, d.screenH = r.h;
        if (SDL_GetDisplayUsableBounds(0, &r) == 0) d.usableW = r.w, d.usableH = r.h;
        else d.usableW = d.screenW, d.usableH = d.screenH;
        int t = 0, l = 0, b = 0, rt = 0;
        if (SDL_GetWindowBordersSize(win, &t, &l, &b, &rt) == 0) d.top = t, d.left = l, d.bottom = b, d.right = rt;
        return d;
    }

    Graph& g_;
    Graph::Config cfg_;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> dirty_{false};
    std::mutex life_;     ///< guards sdlUp_ and wakeType_ against the thread shutting SDL down
    bool sdlUp_ = false;
    Uint32 wakeType_ = 0;
    bool maximized_ = false;
    int w_ = 0, h_ = 0;
    Painter painter_;
};

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

WindowSize chooseWindowSize(const Desktop& d) {
    struct Entry {
        int x, y;
        bool maximized;
    };
    const int largestX = d.screenW - d.left - d.right - 1;
    const int largestY = d.screenH - d.top - d.bottom - 1;
    // A maximized window loses its side and bottom frames but keeps its caption.
    const int caption = std::max(0, d.top - d.bottom);
    std::vector<Entry> list;
    for (auto [x, y] : {std::pair{639, 399}, {639, 479}, {799, 599}, {1023, 768}, {1279, 1023}})
        if (x <= largestX && y <= largestY) list.push_back({x, y, false});
    list.push_back({largestX, largestY, false});
    list.push_back({d.usableW - 1, d.usableH - caption - 1, true});
    // Ordered by x, then y; of equal entries the later one stands.
    std::stable_sort(list.begin(), list.end(),
                     [](const Entry& a, const Entry& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    const Entry& e = list.back();
    if (e.x < 1 || e.y < 1) return {639, 479, false}; // a desktop that reports nothing usable
    return {e.x, e.y, e.maximized};
}

Graph::WindowFactory sdlWindowFactory() {
    return [](Graph& g, const Graph::Config& c, std::string& error) -> std::unique_ptr<Presenter> {
        auto w = std::make_unique<SdlWindow>(g, c);
        if (!w->start(error)) return nullptr;
        return w;
    };
}

std::unique_ptr<PresentProbe> PresentProbe::open(int w, int h, std::string& error) {
    auto p = std::make_unique<SdlPresentProbe>();
    if (!p->open(w, h, error)) return nullptr;
    return p;
}

} // namespace gs
