#include "effects/explosions.h"

namespace gs {

namespace {

/// The three rings shared by the high-explosive and armor-biting blasts: black discs
/// edged white, red, yellow, 150 ms apart. The offsets come from `offset`, which is
/// asked for each disc's y offset before its x offset.
template <class Offset> void threeRings(Game& G, i16 U, i16 I, const int (&r)[3], Offset offset) {
    static constexpr int rim[3] = {colour::White, colour::Red, colour::Yellow};
    G.gr.SetColor(rim[0]);
    G.gr.SetFillStyle(0, colour::White); // empty fill: the discs punch black holes in the picture
    for (int k = 0; k < 3; ++k) {
        if (k > 0) G.gr.SetColor(rim[k]);
        int dx = 0, dy = 0;
        offset(k, dx, dy);
        G.gr.FillEllipse(w16(U + dx), w16(I + dy), w16(r[k]), w16(r[k]));
        if (k < 2) G.Delay(150);
    }
}

} // namespace

void EXPLODE(Game& G, i16 U, i16 I) {
    static constexpr int ox[3] = {-15, 10, -5};
    static constexpr int oy[3] = {20, -10, -15};
    static constexpr int r[3] = {30, 20, 20};
    threeRings(G, U, I, r, [](int k, int& dx, int& dy) {
        dx = ox[k];
        dy = oy[k];
    });
}

void BEXPLODE(Game& G, i16 U, i16 I) {
    // Scatter ranges per disc: x spread, y spread (each centred on 0).
    static constexpr int sx[3] = {60, 40, 10};
    static constexpr int sy[3] = {40, 20, 30};
    static constexpr int r[3] = {20, 15, 10};
    threeRings(G, U, I, r, [&G](int k, int& dx, int& dy) {
        dy = G.Random(sy[k]) - sy[k] / 2; // the height is drawn first
        dx = G.Random(sx[k]) - sx[k] / 2;
    });
}

void XEXPLODE(Game& G, i16 U, i16 I) {
    // The rim keeps whatever colour the shell's own blast left in force.
    const int fireBalls = 5 + G.Random(5);
    for (int ball = 0; ball < fireBalls; ++ball) {
        const int dx = G.Random(100) - 50;
        const int dy = G.Random(100) - 50;
        G.gr.SetFillStyle(1, colour::Yellow);
        G.gr.FillEllipse(w16(U + dx), w16(I + dy), 25, 25);
        G.Delay(50);
    }
}

void NUCLEAR(Game& G, i16 U, i16 I) {
    i16 R1 = 10, R2 = 20; // the cap's vertical and horizontal radii
    i16 X3 = U, Y3 = I;   // the cap's anchor: the last stem disc of the frame
    for (int k = 1; k <= 100; ++k) {
        if (k > 1) {
            // Wipe last frame's cap so the cloud appears to rise.
            G.gr.SetColor(colour::Black);
            G.gr.SetLineStyle(0, 0, 1);
            G.gr.SetFillStyle(1, colour::Black);
            G.gr.FillEllipse(X3, w16(Y3 - R1 - 15), R2, R1);
        }
        G.gr.SetColor(colour::LightGrey);
        G.gr.SetFillStyle(1, colour::LightGrey);
        R1 = w16(R1 + divEven(k, 120));
        R2 = w16(R2 + divEven(k, 60));
        Y3 = w16(I - k);
        // The stem row narrows as it rises: 200 columns wide at the foot, 2 at the top.
        const int width = static_cast<int>(divEven(200, k));
        const int half = static_cast<int>(divEven(100, k));
        for (int s = 0; s < 40; ++s) {
            X3 = w16(U + G.Random(width) - half);
            G.gr.FillEllipse(X3, Y3, 5, 5);
        }
        G.gr.SetColor(colour::White);
        G.gr.SetLineStyle(0, 0, 1);
        G.gr.SetFillStyle(1, colour::Yellow);
        G.gr.FillEllipse(X3, w16(Y3 - R1 - 15), R2, R1);
        G.Delay(5);
    }
}

} // namespace gs
