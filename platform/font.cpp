#include "platform/font.h"

namespace gs {

namespace {
// Regenerate with tools/gen_font.py when the glyph source changes.
const std::uint8_t kGlyphs[256][8] = {
#include "platform/font8x8.inc"
};
} // namespace

const std::uint8_t* font8x8(unsigned char code) { return kGlyphs[code]; }

} // namespace gs
