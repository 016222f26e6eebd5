#include "sound/table.h"

namespace gs {

namespace {

// clang-format off
constexpr SoundShape SHAPES[SOUND_COUNT] = {
    // name                wave          startHz endHz  atk   length fall vol   smooth hz/val falloff
    {"gun fires",          Wave::Noise,    1800,  120,   1,    450, 3, 0.90f, 0.50f, 0,    0},
    {"shell whistle",      Wave::Sine,      500,  500,   8,    160, 1, 0.20f, 1.00f, 2.5f, 0},
    {"fugasy blast",       Wave::Noise,    1200,   90,   2,    900, 2, 0.90f, 0.35f, 0,    0},
    {"armor-biting blast", Wave::Noise,    3000,  400,   1,    500, 3, 0.85f, 0.70f, 0,    0},
    {"nuclear blast",      Wave::Noise,     400,   25,  60,   3200, 2, 1.00f, 0.15f, 0,    0},
    {"unit destroyed",     Wave::Square,    180,   40,   2,    650, 2, 0.45f, 1.00f, 0,    0},
    {"enemy gun fires",    Wave::Noise,     900,  200,   1,    300, 3, 0.45f, 0.40f, 0,    0},
    {"guided rocket",      Wave::Saw,       180,  700,  30,    600, 1, 0.28f, 1.00f, 0,    0},
    {"salvo rocket",       Wave::Noise,    4000, 1500,  10,    350, 2, 0.35f, 0.80f, 0,    0},
    {"enemy impact",       Wave::Noise,    1000,   70,   2,    800, 2, 0.95f, 0.30f, 0,  300},
    {"radar deploys",      Wave::Square,    400, 1200,   5,    500, 1, 0.18f, 1.00f, 0,    0},
    {"unit advances",      Wave::Noise,      90,   70,  40,    400, 1, 0.35f, 0.08f, 0,    0},
    {"fighter approach",   Wave::Saw,       140,   90, 200,   1800, 1, 0.28f, 1.00f, 0,    0},
    {"bomber approach",    Wave::Square,     70,   55, 400,   3000, 1, 0.25f, 1.00f, 0,    0},
    {"bombs falling",      Wave::Sine,     1800,  500,  10,    700, 1, 0.18f, 1.00f, 0,    0},
    {"bomb impact",        Wave::Noise,     900,   60,   2,    700, 2, 0.80f, 0.30f, 0,  300},
    {"fighter rocket",     Wave::Saw,       900,  300,   5,    500, 1, 0.28f, 1.00f, 0,    0},
    {"level won",          Wave::Triangle,  440,  880,  10,    900, 1, 0.40f, 1.00f, 0,    0},
    {"level lost",         Wave::Triangle,  440,  110,  10,   1400, 1, 0.40f, 1.00f, 0,    0},
    {"key click",          Wave::Noise,    6000, 6000, 0.5f,    12, 2, 0.12f, 1.00f, 0,    0},
};
// clang-format on

} // namespace

const SoundShape& shapeOf(Sound s) {
    const int i = static_cast<int>(s);
    return SHAPES[i >= 0 && i < SOUND_COUNT ? i : 0];
}

} // namespace gs
