// Draws the desktop icons with the game's own sprite code: the gun on the ground line and
// a shell in flight above it, with the dots of the path it came along, on the black of the
// battlefield. Writes DIR/gorvenshale-32.png, -64, -128, -192 and -512.png (the larger two
// for the page installed on a phone's home screen); `make icons` runs it
// into dist/icons, and the committed pictures are the ones `make install` installs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "combat/flight.h"
#include "frontend/png/rgba_png.h"
#include "render/field.h"
#include "state/game.h"

namespace {

using namespace gs;

/// The icons ask nothing and write nothing.
class NoTerminal : public Terminal {
public:
    std::optional<int> pollKey() override { return std::nullopt; }
    int waitKey() override { return 13; }
    void write(std::string_view) override {}
    void clear() override {}
    void moveCursor(int, int) override {}
    bool isScreen() const override { return false; }
};

/// The scene is one 64x64 square of the battlefield, drawn pixel for pixel: the 64-pixel
/// icon. Its top-left corner in the picture:
constexpr int SIDE = 64, LEFT = 4, TOP = GROUND - 57;
/// The desktop's menu sizes, and the two a phone's home screen asks an installed page for.
constexpr int ICON_SIZES[] = {32, 64, 128, 192, 512};
/// The gun stands near the square's left edge; the shot is one the player could type.
constexpr i16 GUN_AT = LEFT + 24, SPEED = 15, ANGLE = 70;
/// The steps of the flight shown: dots for the path, the shell's circle at the last.
constexpr int FIRST_DOT = 3, SHELL_STEP = 6;

void drawScene(Graph& gr) {
    NoTerminal term;
    Console con(term);
    Clock clk(Clock::Config{true, 0});
    Rng rnd;
    Game G(gr, con, clk, rnd);
    i16 driver = 0, mode = 0;
    gr.InitGraph(driver, mode, "");
    G.GUNX = GUN_AT;
    gr.SetColor(colour::Green);
    gr.Line(LEFT, GROUND, LEFT + SIDE - 1, GROUND);
    gr.SetColor(colour::White);
    GUN(G);
    i16 DX = 0, DY = 0, X = 0, Y = 0;
    shotVelocity(SPEED, ANGLE, DX, DY);
    for (int t = FIRST_DOT; t < SHELL_STEP; ++t) {
        shellAt(DX, DY, w16(t), X, Y);
        gr.SetColor(colour::LightGrey);
        gr.Circle(w16(G.GUNX + X), rowAbove(Y), 1);
    }
    // The shell as FLY draws it.
    shellAt(DX, DY, SHELL_STEP, X, Y);
    gr.SetColor(colour::Yellow);
    gr.Circle(w16(G.GUNX + X), rowAbove(Y), 3);
}

int brightness(std::uint8_t index) {
    const auto& c = vgaPalette()[index];
    return 3 * c[0] + 6 * c[1] + c[2];
}

/// The scene at `size` pixels: each picture pixel as a block when larger; the brightest
/// pixel of each block when smaller, so that the one-pixel lines of the sprites stay whole.
/// The corners are rounded off, softly.
RgbaPicture iconOf(const Graph& gr, int size) {
    RgbaPicture icon{size, size,
                     std::vector<std::uint8_t>(static_cast<std::size_t>(size) * size * 4)};
    const double radius = size / 8.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint8_t index = 0;
            const int x0 = x * SIDE / size, y0 = y * SIDE / size;
            const int x1 = std::max(x0 + 1, (x + 1) * SIDE / size);
            const int y1 = std::max(y0 + 1, (y + 1) * SIDE / size);
            for (int py = y0; py < y1; ++py)
                for (int px = x0; px < x1; ++px) {
                    const std::uint8_t here = gr.pixel(LEFT + px, TOP + py);
                    if (brightness(here) > brightness(index)) index = here;
                }
            // Distance into the rounded corner, at the pixel's centre.
            const double cx = std::clamp(x + 0.5, radius, size - radius);
            const double cy = std::clamp(y + 0.5, radius, size - radius);
            const double outside = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius;
            const double alpha = std::clamp(0.5 - outside, 0.0, 1.0);
            std::uint8_t* out = &icon.rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            const auto& c = vgaPalette()[index];
            out[0] = c[0];
            out[1] = c[1];
            out[2] = c[2];
            out[3] = static_cast<std::uint8_t>(std::lround(alpha * 255));
        }
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons DIR\n");
        return 2;
    }
    Graph gr(Graph::Config{true, LEFT + SIDE + 8, GROUND + 16, true});
    drawScene(gr);
    for (int size : ICON_SIZES) {
        const std::string path =
            std::string(argv[1]) + "/gorvenshale-" + std::to_string(size) + ".png";
        std::string error;
        if (!writeRgbaPng(iconOf(gr, size), path, error)) {
            std::fprintf(stderr, "make_icons: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
