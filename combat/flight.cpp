#include "combat/flight.h"

#include <cmath>

namespace gs {

void shotVelocity(i16 V, i16 A, i16& DX, i16& DY) {
    const long double radians = static_cast<long double>(A) / 57.0L;
    const long double speed = V;
    DX = w16(static_cast<std::int64_t>(std::nearbyint(speed * std::cos(radians))));
    DY = w16(static_cast<std::int64_t>(std::nearbyint(speed * std::sin(radians))));
}

void shellAt(i16 DX, i16 DY, i16 T, i16& X, i16& Y) {
    const std::int64_t step = T;
    X = w16(DX * step);
    Y = w16(DY * step - step * step);
}

bool inHitBox(const OBJ& o, i16 GUNX, i16 X, i16 Y) {
    // Half the box width, ties to the even neighbour (every real width is even).
    const int halfWidth = static_cast<int>(divEven(o.GX, 2));
    const int column = GUNX + X;
    return o.X - halfWidth < column && o.X + halfWidth > column && o.GY > Y;
}

void FLY(Game& G) {
    G.Y = 5;
    G.X = 0;
    G.EX = 0;
    G.T = 0;
    G.sound(Sound::GunFire);
    do {
        // The circle shows the position of the previous pass; the stop point is left
        // for the explosion to mark.
        G.gr.SetColor(colour::White);
        G.gr.Circle(w16(G.GUNX + G.X), rowAbove(G.Y), 3);
        G.Delay(50);
        G.gr.SetColor(colour::Black);
        G.gr.Circle(w16(G.GUNX + G.X), rowAbove(G.Y), 3);
        shellAt(G.DX, G.DY, G.T, G.X, G.Y);
        G.T = w16(G.T + 1);
        G.sound(Sound::ShellWhistle, G.Y);
        // Every entry is tested; a destroyed unit has an empty box and stops nothing.
        for (int i = 1; i <= G.units(); ++i)
            if (inHitBox(G.unit(i), G.GUNX, G.X, G.Y)) G.EX = 1;
        // The ground stops the shell even when no unit stands on the field.
        if (G.Y < 0) G.EX = 1;
    } while (G.EX != 1);
}

} // namespace gs
