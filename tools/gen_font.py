#!/usr/bin/env python3
"""Writes the 8x8 text font from an 8x8 VGA console font of Debian's console-setup-linux
package (PSF with a Unicode table):

- picture/font8x8.inc: the 256 glyphs of the drawing surface, in code page 437 order (each
  code page 437 byte is looked up by its Unicode character);
- picture/font_unicode.inc: for the console pane, which shows Unicode text, the code page
  437 byte of every Unicode character that code page has beyond ASCII, and the glyphs of
  the Latin-1 and Cyrillic characters the font holds that code page 437 lacks, with their
  code points, and the replacement glyph for everything else.

    tools/gen_font.py [FONT.psf.gz] [OUTPUT] [UNICODE_OUTPUT]
"""
import gzip
import struct
import sys

DEFAULT_FONT = "/usr/share/consolefonts/Uni2-VGA8.psf.gz"
DEFAULT_OUT = "picture/font8x8.inc"
DEFAULT_UNICODE_OUT = "picture/font_unicode.inc"

# The blocks whose characters the pane shows with the font's own glyphs: Latin-1 (typed
# letters with accents) and Cyrillic (the game's own message "УБИТ").
EXTRA_BLOCKS = [(0x00A0, 0x00FF), (0x0400, 0x04FF)]
REPLACEMENT = 0xFFFD

# Bytes 0x00..0x1F and 0x7F are control codes as text but have pictures in code page 437.
LOW = ("\u0000☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼")
DEL = "⌂"

# Code page 437 signs that no 8x8 console font of the package carries, drawn here in the
# same style (rows top first, high bit leftmost). The four solid triangles are in the font's
# table, but only as stand-ins: it shows the arrows of 0x18, 0x19, 0x1A and 0x1B for them.
DRAWN = {
    0x25BA: [0x80, 0xE0, 0xF8, 0xFE, 0xF8, 0xE0, 0x80, 0x00],  # ►
    0x25C4: [0x02, 0x0E, 0x3E, 0xFE, 0x3E, 0x0E, 0x02, 0x00],  # ◄
    0x25B2: [0x00, 0x18, 0x3C, 0x7E, 0xFF, 0xFF, 0x00, 0x00],  # ▲
    0x25BC: [0x00, 0xFF, 0xFF, 0x7E, 0x3C, 0x18, 0x00, 0x00],  # ▼
    0x20A7: [0xE0, 0x94, 0x9E, 0xE4, 0x84, 0x85, 0x82, 0x00],  # ₧
    0x2310: [0x00, 0x00, 0x00, 0xFE, 0xC0, 0xC0, 0x00, 0x00],  # ⌐
    0x221E: [0x00, 0x00, 0x6C, 0x92, 0x92, 0x6C, 0x00, 0x00],  # ∞
    0x2229: [0x00, 0x78, 0xCC, 0xCC, 0xCC, 0xCC, 0x00, 0x00],  # ∩
    0x2261: [0x00, 0xFE, 0x00, 0xFE, 0x00, 0xFE, 0x00, 0x00],  # ≡
}


def cp437(code):
    if code < 0x20:
        return LOW[code]
    if code == 0x7F:
        return DEL
    return bytes([code]).decode("cp437")


def read_psf(path):
    data = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
    if data[:2] == b"\x36\x04":  # PSF1
        mode, height = data[2], data[3]
        count = 512 if mode & 1 else 256
        width, off, has_table, utf8 = 8, 4, bool(mode & 6), False
        glyph_bytes = height
    elif data[:4] == b"\x72\xb5\x4a\x86":  # PSF2
        _, _, hdr, flags, count, glyph_bytes, height, width = struct.unpack("<8I", data[:32])
        off, has_table, utf8 = hdr, bool(flags & 1), True
    else:
        sys.exit(f"{path}: not a PSF font")
    if width != 8 or height != 8:
        sys.exit(f"{path}: glyphs are {width}x{height}, not 8x8")
    glyphs = [data[off + i * glyph_bytes: off + (i + 1) * glyph_bytes] for i in range(count)]
    table = {}
    if has_table:
        pos = off + count * glyph_bytes
        for g in range(count):
            if utf8:
                end = data.index(b"\xff", pos)
                entry = data[pos:end]
                pos = end + 1
                # Single characters come before the first 0xFE (sequences follow it).
                for ch in entry.split(b"\xfe")[0].decode("utf-8"):
                    table.setdefault(ord(ch), g)
            else:
                while True:
                    (u,) = struct.unpack("<H", data[pos:pos + 2])
                    pos += 2
                    if u == 0xFFFF:
                        break
                    if u == 0xFFFE:
                        # Skip combining sequences up to the glyph's terminator.
                        while struct.unpack("<H", data[pos:pos + 2])[0] != 0xFFFF:
                            pos += 2
                        continue
                    table.setdefault(u, g)
    return glyphs, table


def shown(point):
    return chr(point) if chr(point).isprintable() else f"U+{point:04X}"


def hex_row(glyph):
    return "{" + ", ".join(f"0x{b:02X}" for b in glyph) + "}"


def write_unicode(out, font, glyphs, table, cp437_glyphs):
    """The pane's Unicode side: code page 437 by code point, the extra glyphs, the
    replacement glyph."""
    by_point = sorted((ord(cp437(code)), code) for code in range(1, 256)
                      if ord(cp437(code)) != code)
    in_cp437 = {point for point, _ in by_point} | set(range(0x20, 0x7F))
    extra = [point for first, last in EXTRA_BLOCKS for point in range(first, last + 1)
             if point in table and point not in in_cp437]
    # The font's own U+FFFD is the diamond of code page 437 byte 0x04; an inverted question
    # mark cannot be taken for a character the game meant to show.
    replacement = bytes(b ^ 0xFF for b in cp437_glyphs[ord("?")])
    with open(out, "w", encoding="utf-8") as f:
        f.write("// Generated by tools/gen_font.py; do not edit.\n")
        f.write(f"// Source: {font.split('/')[-1]} from Debian's console-setup-linux package.\n")
        f.write("// The code page 437 byte of each Unicode character that code page shows beyond\n")
        f.write("// ASCII, sorted by code point.\n")
        f.write("const CodePointByte kCp437ByCodePoint[] = {\n")
        for point, code in by_point:
            f.write(f"    {{0x{point:04X}, 0x{code:02X}}}, // {shown(point)}\n")
        f.write("};\n\n")
        f.write("// The Latin-1 and Cyrillic characters the font holds beyond code page 437, sorted\n")
        f.write("// by code point; rows top first, the high bit is the leftmost pixel.\n")
        f.write("const CodePointGlyph kExtraGlyphs[] = {\n")
        for point in extra:
            f.write(f"    {{0x{point:04X}, {hex_row(glyphs[table[point]])}}}, // {shown(point)}\n")
        f.write("};\n\n")
        f.write("// Shown for every other character: the question mark, inverted.\n")
        f.write(f"const std::uint8_t kReplacementGlyph[8] = {hex_row(replacement)};\n")
    print(f"{out}: {len(by_point)} code page 437 characters, {len(extra)} extra glyphs")


def main():
    font = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_FONT
    out = sys.argv[2] if len(sys.argv) > 2 else DEFAULT_OUT
    unicode_out = sys.argv[3] if len(sys.argv) > 3 else DEFAULT_UNICODE_OUT
    glyphs, table = read_psf(font)
    cp437_glyphs = []
    rows, missing = [], []
    for code in range(256):
        ch = cp437(code)
        if code == 0:
            glyph = bytes(8)
        elif ord(ch) in DRAWN:
            glyph = bytes(DRAWN[ord(ch)])
        elif ord(ch) in table:
            glyph = glyphs[table[ord(ch)]]
        else:
            missing.append(f"0x{code:02X} U+{ord(ch):04X}")
            glyph = bytes(8)
        cp437_glyphs.append(glyph)
        name = "NUL" if code == 0 else ("SPACE" if ch == " " else f"U+{ord(ch):04X}")
        rows.append("    " + hex_row(glyph) + f", // 0x{code:02X} {name}")
    if missing:
        sys.exit(f"{font}: no glyph for " + ", ".join(missing))
    with open(out, "w", encoding="utf-8") as f:
        f.write("// Generated by tools/gen_font.py; do not edit.\n")
        f.write(f"// Source: {font.split('/')[-1]} from Debian's console-setup-linux package\n")
        f.write("// (console-setup, 8x8 VGA glyphs), arranged in IBM PC code page 437 order.\n")
        f.write("// Drawn by the generator (absent from the font or only stood in for): " +
                " ".join(chr(u) for u in DRAWN) + "\n")
        f.write("// Each glyph is 8 rows, top first; the high bit is the leftmost pixel.\n")
        f.write("\n".join(rows) + "\n")
    print(f"{out}: 256 glyphs from {font}")
    write_unicode(unicode_out, font, glyphs, table, cp437_glyphs)


if __name__ == "__main__":
    main()
