#include "frontend/web/web_page.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>

#include "console/pane_terminal.h"
#include "console/terminal_std.h"
#include "picture/picture_size.h"
#include "picture/picture_view.h"

// ---- The page's side: each reaches the page's script (web/gorvenshale-page.js). ----

EM_JS(void, gs_page_put_picture,
      (const void* rgba, int width, int height, int x, int y, int w, int h),
      { Module.gsPage.putImage('picture', HEAPU8.buffer, rgba, width, height, x, y, w, h); });
EM_JS(void, gs_page_put_console,
      (const void* rgba, int width, int height, int x, int y, int w, int h),
      { Module.gsPage.putImage('console', HEAPU8.buffer, rgba, width, height, x, y, w, h); });
EM_JS(void, gs_page_picture_size, (int width, int height),
      { Module.gsPage.setPictureSize(width, height); });
// The page's picture for a battle about to open, as width * 65536 + height; 0 when the
// address named the size.
EM_JS(int, gs_page_choose_picture, (), {
    const p = Module.gsPage.choosePicture();
    return p ? p.w * 65536 + p.h : 0;
});
EM_JS(int, gs_page_canvas_width, (), { return Module.gsPage.pictureCanvas.w; });
EM_JS(int, gs_page_canvas_height, (), { return Module.gsPage.pictureCanvas.h; });
EM_JS(void, gs_page_add_text, (const char* text, int length),
      { Module.gsPage.addText(UTF8ToString(text, length)); });
EM_JS(void, gs_page_set_answer, (const char* text, int length, int cursor),
      { Module.gsPage.setAnswer(UTF8ToString(text, length), cursor); });
EM_JS(void, gs_page_name_key, (const char* name, int code),
      { Module.gsPage.keys.named[UTF8ToString(name)] = code; });
EM_JS(int, gs_page_poll_key, (), { return Module.gsPage.keys.poll(); });
// The one place the game waits for the player: the promise settles when a key comes.
EM_ASYNC_JS(int, gs_page_wait_key, (), { return await Module.gsPage.keys.next(); });
EM_JS(void, gs_page_paused, (double totalMs), { Module.gsPage.pausedMs = totalMs; });
EM_JS(void, gs_page_finished, (int status), { Module.gsPage.finished(status); });

/// Where a picture shows in an area of the page: the window's rule, for the page's layout.
/// Gives x, y, width and height.
extern "C" EMSCRIPTEN_KEEPALIVE const int* gs_fit_picture(int pictureW, int pictureH, int areaW,
                                                          int areaH) {
    static int shown[4];
    const gs::PixelRect a = gs::fitPicture(pictureW, pictureH, areaW, areaH);
    shown[0] = a.x;
    shown[1] = a.y;
    shown[2] = a.width;
    shown[3] = a.height;
    return shown;
}

/// The picture the page takes for an area of its own, in device pixels, when the address
/// names no size: the one window's rule (the whole battle, enlarged by the largest whole
/// factor that fits). Gives width, height and that factor.
extern "C" EMSCRIPTEN_KEEPALIVE const int* gs_choose_picture(int areaW, int areaH) {
    static int chosen[3];
    const int scale = gs::chooseScale(areaW, areaH);
    const gs::PictureSize p = gs::choosePictureSize(areaW, areaH, scale);
    chosen[0] = p.width;
    chosen[1] = p.height;
    chosen[2] = scale;
    return chosen;
}

namespace gs {

namespace {

/// The page's names of the keys the window's keyboard knows besides typed text
/// (KeyboardEvent.key), each with the key the window's mapping gives it.
constexpr std::pair<const char*, PaneKey> PAGE_KEYS[] = {
    {"Enter", PaneKey::Enter},
    {"Backspace", PaneKey::Backspace},
    {"Escape", PaneKey::Escape},
    {"ArrowLeft", PaneKey::Left},
    {"ArrowRight", PaneKey::Right},
    {"Home", PaneKey::Home},
    {"End", PaneKey::End},
    {"ArrowUp", PaneKey::Up},
    {"ArrowDown", PaneKey::Down},
    {"PageUp", PaneKey::PageUp},
    {"PageDown", PaneKey::PageDown},
    {"Insert", PaneKey::Insert},
    {"Delete", PaneKey::Delete},
    {"F1", PaneKey::F1},
    {"F2", PaneKey::F2},
    {"F3", PaneKey::F3},
    {"F4", PaneKey::F4},
};

/// The file the page writes the address's keys into before the game starts.
constexpr const char* START_KEYS_FILE = "/start-keys";

class PicturePresenter : public Presenter {
public:
    explicit PicturePresenter(bool sizeGiven) : sizeGiven_(sizeGiven) {}
    ~PicturePresenter() override { WebPage::get().pictureClosed(); }
    void changed() override { WebPage::get().pictureChanged(); }
    /// Without --size each battle takes the picture the page chooses for its room now, as
    /// the one window's battles take theirs from the window.
    std::pair<int, int> clientSize() const override {
        if (sizeGiven_) return {0, 0};
        const int chosen = gs_page_choose_picture();
        return {chosen / 65536, chosen % 65536};
    }

private:
    bool sizeGiven_;
};

} // namespace

WebTerminal::WebTerminal() : GridTerminal(COLS, ROWS) {
    for (const auto& [name, key] : PAGE_KEYS) gs_page_name_key(name, paneKeyCode(key));
    WebPage::get().attach(*this);
}

WebTerminal::~WebTerminal() { WebPage::get().detach(*this); }

void WebTerminal::editLine(std::string_view line, std::size_t cursor) {
    answer_.assign(line);
    answerCursor_ = cursor;
    answerChanged_ = true;
}

std::optional<int> WebTerminal::pollKey() {
    const int key = gs_page_poll_key();
    if (key < 0) return std::nullopt;
    return key;
}

int WebTerminal::waitKey() {
    if (auto key = pollKey()) return *key;
    return WebPage::get().waitForKey();
}

WebPage& WebPage::get() {
    static WebPage page;
    return page;
}

WebPage::WebPage()
    // RGBA in memory order: the canvas's ImageData is a view of these bytes.
    : palette_(pixelPalette([](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
          return std::uint32_t{r} | std::uint32_t{g} << 8 | std::uint32_t{b} << 16 | 0xFF000000u;
      })),
      lastYield_(emscripten_get_now()) {}

void WebPage::attach(WebTerminal& terminal) {
    terminal_ = &terminal;
    paneRenderer_ = std::make_unique<PaneRenderer>(terminal.grid());
    pane_.assign(static_cast<std::size_t>(PaneRenderer::cellWidth(1) * terminal.cols()) *
                     static_cast<std::size_t>(PaneRenderer::cellHeight(1) * terminal.rows()),
                 0);
}

void WebPage::detach(WebTerminal& terminal) {
    if (terminal_ != &terminal) return;
    showConsole(); // its last lines stay on the page
    terminal_ = nullptr;
    paneRenderer_.reset();
}

void WebPage::pictureChanged() {
    pictureChanged_ = true;
    yieldNowAndThen();
}

void WebPage::pictureClosed() {
    pictureChanged_ = false;
    graph_ = nullptr;
    if (picture_.empty()) return;
    std::fill(picture_.begin(), picture_.end(), palette_[colour::Black]);
    gs_page_put_picture(picture_.data(), canvasW_, canvasH_, 0, 0, canvasW_, canvasH_);
}

void WebPage::showPicture() {
    if (!graph_ || !graph_->isOpen()) return;
    const int w = graph_->width(), h = graph_->height();
    if (w != pictureW_ || h != pictureH_) {
        // A new picture size: the page lays itself out for it.
        pictureW_ = w;
        pictureH_ = h;
        gs_page_picture_size(w, h);
        pictureChanged_ = true;
    }
    bool whole = false;
    if (const int cw = gs_page_canvas_width(), ch = gs_page_canvas_height();
        cw != canvasW_ || ch != canvasH_ || picture_.empty()) {
        // A new canvas size: all of it painted anew.
        canvasW_ = std::max(1, cw);
        canvasH_ = std::max(1, ch);
        picture_.assign(static_cast<std::size_t>(canvasW_) * static_cast<std::size_t>(canvasH_),
                        palette_[colour::Black]);
        whole = true;
    }
    if (!pictureChanged_ && !whole) return;
    pictureChanged_ = false;
    PixelRect drawn;
    {
        std::lock_guard lock(graph_->pictureLock());
        PixelRect changed = graph_->takeChanged();
        if (whole) changed = {0, 0, w, h};
        if (changed.empty()) return;
        // The canvas is the picture or its shrunk showing; the page enlarges it itself.
        const PixelTarget target{picture_.data(), canvasW_ * 4, 0, 0, canvasW_, canvasH_};
        drawn = paintPicture(graph_->pixels().data(), w, h, changed, target,
                             {0, 0, canvasW_, canvasH_}, palette_);
    }
    if (!drawn.empty())
        gs_page_put_picture(picture_.data(), canvasW_, canvasH_, drawn.x, drawn.y, drawn.width,
                            drawn.height);
}

void WebPage::showConsole() {
    if (!terminal_) return;
    if (!terminal_->transcript_.empty()) {
        std::string text;
        text.swap(terminal_->transcript_);
        gs_page_add_text(text.data(), static_cast<int>(text.size()));
    }
    if (terminal_->answerChanged_) {
        terminal_->answerChanged_ = false;
        // The cursor as a count of characters: the page's text is UTF-16, the line UTF-8.
        const std::string_view before =
            std::string_view(terminal_->answer_)
                .substr(0, std::min(terminal_->answerCursor_, terminal_->answer_.size()));
        const auto characters =
            std::count_if(before.begin(), before.end(), [](char c) { return (c & 0xC0) != 0x80; });
        gs_page_set_answer(terminal_->answer_.data(), static_cast<int>(terminal_->answer_.size()),
                           static_cast<int>(characters));
    }
    const int w = PaneRenderer::cellWidth(1) * terminal_->cols();
    const int h = PaneRenderer::cellHeight(1) * terminal_->rows();
    const PixelRect drawn =
        paneRenderer_->render({pane_.data(), w * 4, 0, 0, w, h}, palette_, PaneLook{});
    if (!drawn.empty())
        gs_page_put_console(pane_.data(), w, h, drawn.x, drawn.y, drawn.width, drawn.height);
}

void WebPage::show() {
    if (onShow) onShow();
    showConsole();
    showPicture();
}

void WebPage::pause(double ms) {
    show();
    emscripten_sleep(static_cast<unsigned>(std::max(0.0, std::round(ms))));
    lastYield_ = emscripten_get_now();
}

int WebPage::waitForKey() {
    int key = RELAID_OUT;
    while (key == RELAID_OUT) {
        show(); // the player must see what they are answering, at the page's present size
        key = gs_page_wait_key();
    }
    lastYield_ = emscripten_get_now();
    return key;
}

void WebPage::yieldNowAndThen() {
    if (emscripten_get_now() - lastYield_ < YIELD_EVERY_MS) return;
    pause(0);
}

void WebPage::finished(int status) {
    show();
    gs_page_finished(status);
}

Graph::WindowFactory webPictureFactory() {
    return [](Graph& g, const Graph::Config& c, std::string&) -> std::unique_ptr<Presenter> {
        WebPage::get().attach(g);
        return std::make_unique<PicturePresenter>(c.sizeGiven);
    };
}

void WebClock::sleepMs(std::uint16_t ms) {
    pausedMs_ += ms;
    gs_page_paused(pausedMs_);
    Clock::sleepMs(ms);
}

void WebClock::sleepUntil(Instant deadline) {
    const double ms = std::chrono::duration<double, std::milli>(deadline - now()).count();
    WebPage& page = WebPage::get();
    if (ms >= 1)
        page.pause(ms);
    else
        page.yieldNowAndThen(); // behind the schedule: no pause, but the page is not starved
}

std::vector<int> startKeys() {
    std::ifstream in(START_KEYS_FILE, std::ios::binary);
    if (!in) return {};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return pipedKeys(bytes);
}

} // namespace gs
