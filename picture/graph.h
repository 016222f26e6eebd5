// The drawing surface: an indexed-colour framebuffer with immediate-mode primitives.
//
// Every primitive draws at once into the picture, clipped silently at the window's
// edges; the window (when there is one) shows the picture from its own thread.
// Coordinates are 16-bit window pixels, x to the right, y downwards.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <utility>

#include "picture/pixel_buffer.h"
#include "picture/rect.h"
#include "system/types.h"

namespace gs {

/// The sixteen colours the game draws with, by their palette index.
namespace colour {
constexpr int Black = 0, Blue = 1, Green = 2, Cyan = 3, Red = 4, Magenta = 5, Brown = 6,
              LightGrey = 7, DarkGrey = 8, LightBlue = 9, LightGreen = 10, LightCyan = 11,
              LightRed = 12, LightMagenta = 13, Yellow = 14, White = 15;
} // namespace colour

/// 256 RGB entries; the first 16 are the colours the game draws with.
using Palette = std::array<std::array<std::uint8_t, 3>, 256>;
/// The standard VGA default palette, 6-bit components times 4.
const Palette& vgaPalette();

class Graph;

/// What shows the picture on screen. Implemented by the SDL window; absent when headless.
class Presenter {
public:
    virtual ~Presenter() = default;
    /// The picture changed (Graph::takeChanged says where); show it within one display
    /// frame. Called by the game after each drawing call, with no lock held: it must not
    /// make the game wait.
    virtual void changed() = 0;
    /// The client size the window offers the picture; {0, 0} keeps the configured size.
    virtual std::pair<int, int> clientSize() const { return {0, 0}; }
};

class Graph {
public:
    struct Config {
        bool headless = true; ///< no window: the picture lives in memory
        int width = 1280;     ///< client size when headless or when sizeGiven
        int height = 1024;
        bool sizeGiven = false; ///< --size WxH was given
        int scale = 0; ///< --scale N: a window shows each picture pixel as N x N; 0: chosen
    };
    /// Opens a window showing `g`; returns null and sets `error` when it cannot.
    using WindowFactory =
        std::function<std::unique_ptr<Presenter>(Graph& g, const Config& c, std::string& error)>;

    Graph() = default;
    explicit Graph(Config c) : cfg_(c) {}
    ~Graph();

    void setWindowFactory(WindowFactory f) { windowFactory_ = std::move(f); }
    /// Called with the open picture each time a snapshot is due.
    void setSnapshotWriter(std::function<void(const Graph&)> w) { snapshotWriter_ = std::move(w); }
    /// Called with the message when the game draws although its window could not be made.
    /// The default prints the message on standard output and ends the program with status 1;
    /// a handler that returns is followed by std::exit(1) as well, so it should throw or exit.
    using FatalHandler = std::function<void(const std::string& message)>;
    void setFatalHandler(FatalHandler f) { fatal_ = std::move(f); }
    /// The text shown when the game draws without a window.
    static const char* notInGraphicsMode();

    // ---- The game's drawing interface ----
    /// Opens the window (or the headless picture) black, and resets the drawing state.
    void InitGraph(i16& driver, i16& mode, const std::string& path);
    i16 GetMaxX() const;
    i16 GetMaxY() const;
    void SetColor(int color);
    /// pattern 0..12, colour 0..255; anything else is refused and changes nothing.
    void SetFillStyle(int pattern, int color);
    /// style 0..4, thickness 1 or 3; anything else is refused and changes nothing.
    void SetLineStyle(int style, unsigned pattern, int thickness);
    void Line(i16 x1, i16 y1, i16 x2, i16 y2);
    void Rectangle(i16 x1, i16 y1, i16 x2, i16 y2);
    void Bar(i16 x1, i16 y1, i16 x2, i16 y2);
    void Circle(i16 x, i16 y, i16 radius);
    void FillEllipse(i16 x, i16 y, i16 rx, i16 ry);
    void OutTextXY(i16 x, i16 y, const std::string& text);
    void ClearDevice();
    /// Writes the closing snapshot, closes the window and returns when it is gone.
    void CloseGraph();

    // ---- Inspection, for snapshots, the window and tests ----
    bool isOpen() const { return open_; }
    int width() const { return w_; }
    int height() const { return h_; }
    /// Palette index at (x, y); 0 outside the picture.
    std::uint8_t pixel(int x, int y) const;
    std::span<const std::uint8_t> pixels() const { return px_.view(); }
    const Palette& palette() const { return vgaPalette(); }
    int color() const { return color_; }
    int fillPattern() const { return fillPattern_; }
    int fillColor() const { return fillColor_; }
    int lineStyle() const { return lineStyle_; }
    int lineThickness() const { return thickness_; }
    /// Guards the picture: every primitive holds it while writing pixels.
    std::mutex& pictureLock() const { return lock_; }
    /// The part of the picture drawn since the last call (all of it after InitGraph and
    /// ClearDevice); the next call starts afresh. The caller holds pictureLock().
    PixelRect takeChanged();
    /// The game begins to wait for the player: write a snapshot if they are wanted.
    void snapshotDue();
    const Config& config() const { return cfg_; }
    /// The window could not be made at the last InitGraph; the next drawing call ends the game.
    bool windowFailed() const { return failed_; }
    int backgroundColor() const { return bkColor_; }
    unsigned linePattern() const { return linePattern_; }
    /// Pen position (only ClearDevice and InitGraph move it in this game).
    int currentX() const { return curX_; }
    int currentY() const { return curY_; }

private:
    void checkGraphics();
    void drawn();
    /// Marks a rectangle as drawn, clipped to the picture (the lock is held).
    void touch(int left, int top, int right, int bottom);
    void touchLine(int x1, int y1, int x2, int y2);
    void plot(int x, int y, std::uint8_t c);
    void hspan(int x1, int x2, int y, std::uint8_t c);
    void fillSpan(int x1, int x2, int y);
    void lineRaw(int x1, int y1, int x2, int y2);
    void lineThin(int x1, int y1, int x2, int y2);
    void ellipseRaw(int x, int y, int rx, int ry, bool fill);

    Config cfg_{};
    WindowFactory windowFactory_;
    std::function<void(const Graph&)> snapshotWriter_;
    std::unique_ptr<Presenter> window_;
    bool open_ = false;
    bool failed_ = false; ///< the window could not be made: the next drawing call ends the game
    int w_ = 0, h_ = 0;
    PixelBuffer px_;
    PixelRect changed_; ///< drawn since the window last took it
    int color_ = 15, fillPattern_ = 1, fillColor_ = 255, bkColor_ = 0;
    int lineStyle_ = 0, thickness_ = 1;
    unsigned linePattern_ = 0xFFFF;
    FatalHandler fatal_;
    int curX_ = 0, curY_ = 0;
    mutable std::mutex lock_;
};

} // namespace gs
