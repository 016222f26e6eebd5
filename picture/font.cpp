#include "picture/font.h"

#include <algorithm>
#include <iterator>

namespace gs {

namespace {
// Regenerate with tools/gen_font.py when the glyph source changes.
const std::uint8_t kGlyphs[256][8] = {
#include "picture/font8x8.inc"
};

struct CodePointByte {
    char32_t point;
    unsigned char code;
};
struct CodePointGlyph {
    char32_t point;
    std::uint8_t rows[8];
};
#include "picture/font_unicode.inc"

template <typename Entry, std::size_t N>
const Entry* findPoint(const Entry (&table)[N], char32_t point) {
    const Entry* at = std::lower_bound(std::begin(table), std::end(table), point,
                                       [](const Entry& e, char32_t p) { return e.point < p; });
    return at != std::end(table) && at->point == point ? at : nullptr;
}
} // namespace

const std::uint8_t* font8x8(unsigned char code) { return kGlyphs[code]; }

std::optional<unsigned char> cp437Byte(char32_t point) {
    if (point >= 0x20 && point < 0x7F) return static_cast<unsigned char>(point);
    if (const CodePointByte* e = findPoint(kCp437ByCodePoint, point)) return e->code;
    return std::nullopt;
}

const std::uint8_t* glyphFor(char32_t point) {
    if (auto code = cp437Byte(point)) return kGlyphs[*code];
    if (const CodePointGlyph* e = findPoint(kExtraGlyphs, point)) return e->rows;
    return kReplacementGlyph;
}

const std::uint8_t* replacementGlyph() { return kReplacementGlyph; }

} // namespace gs
