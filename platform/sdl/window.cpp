// The graphics window: an SDL2 window with a thread of its own that keeps showing the
// picture while the game sleeps in Delay or waits at the console.
//
// The thread owns everything SDL. It wakes when the picture changed (or the desktop asks
// for a repaint), copies the picture under the picture lock, and converts and presents it
// after letting go of the lock, so the game is held up only for one memcpy.
#include "platform/sdl/window.h"

#include "platform/sdl/painter.h"

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

using namespace sdl;

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
        SDL_Window* win = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                           640, 480, SDL_WINDOW_HIDDEN);
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
            SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kTitle, "Window creation failed",
                                     nullptr);
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
                    case SDL_WINDOWEVENT_SIZE_CHANGED: show = true; break;
                    default: break;
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
        if (SDL_GetDisplayUsableBounds(0, &r) == 0)
            d.usableW = r.w, d.usableH = r.h;
        else
            d.usableW = d.screenW, d.usableH = d.screenH;
        int t = 0, l = 0, b = 0, rt = 0;
        if (SDL_GetWindowBordersSize(win, &t, &l, &b, &rt) == 0)
            d.top = t, d.left = l, d.bottom = b, d.right = rt;
        return d;
    }

    Graph& g_;
    Graph::Config cfg_;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> dirty_{false};
    std::mutex life_; ///< guards sdlUp_ and wakeType_ against the thread shutting SDL down
    bool sdlUp_ = false;
    Uint32 wakeType_ = 0;
    bool maximized_ = false;
    int w_ = 0, h_ = 0;
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
    std::stable_sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) {
        return a.x != b.x ? a.x < b.x : a.y < b.y;
    });
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

} // namespace gs
