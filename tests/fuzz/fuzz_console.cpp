// The console's reads and its line editor, fed arbitrary key bytes through the terminal
// key decoder, on a screen of arbitrary size.
//
// The screen is the window pane's cell grid, which follows the bytes and cursor moves the
// console sends as a real terminal would. After every operation the grid and the console
// must agree on where the cursor is, no cursor move may leave the window, no control byte
// other than CR, LF and BS may reach the screen, and a reader's copy of the grid, brought
// up to date row by row, must equal the grid.
#include <fuzzer/FuzzedDataProvider.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/console.h"
#include "console/terminal_tty.h"
#include "console/text_grid.h"
#include "system/runtime_error.h"

namespace {

using namespace gs;

[[noreturn]] void fail(const char* what, long a, long b) {
    std::fprintf(stderr, "console fault: %s (%ld, %ld)\n", what, a, b);
    std::abort();
}

class ScreenModel : public Terminal {
public:
    ScreenModel(FuzzedDataProvider& d, int cols, int rows) : grid(cols, rows), d_(d) {}

    std::optional<int> pollKey() override {
        if (d_.remaining_bytes() == 0 || !d_.ConsumeBool()) return std::nullopt;
        return key();
    }
    int waitKey() override {
        if (d_.remaining_bytes() == 0) raiseRuntimeError(RE_INPUT_ENDED);
        return key();
    }
    void write(std::string_view bytes) override {
        for (unsigned char b : bytes) {
            if ((b < 32 && b != '\r' && b != '\n' && b != '\b') || b == 127)
                fail("control byte on the screen", b, grid.cursor().col);
            // A character after one in the last column: the console left out a line end.
            if (b >= 32 && !(b >= 0x80 && b < 0xC0) && grid.wrapPending())
                fail("character written past the right edge", grid.cursor().col, grid.cursor().row);
            grid.write(std::string_view(reinterpret_cast<const char*>(&b), 1));
        }
    }
    void clear() override { grid.clear(); }
    void moveCursor(int c, int r) override {
        if (c < 1 || c > grid.cols() || r < 1 || r > grid.rows())
            fail("cursor moved outside the window", c, r);
        grid.moveCursor(c, r);
    }
    bool isScreen() const override { return true; }
    int cols() const override { return grid.cols(); }
    int rows() const override { return grid.rows(); }

    TextGrid grid;
    GridView view;

private:
    /// One key press as a terminal would send it: raw bytes through the key decoder.
    int key() {
        unsigned char first;
        if (unread_) {
            // A byte the decoder read ahead belongs to this key.
            first = *unread_;
            unread_.reset();
        } else {
            first = d_.ConsumeIntegral<unsigned char>();
        }
        return decodeTerminalKey(first, more(), unread_);
    }
    MoreBytes more() {
        return [this](int) -> std::optional<unsigned char> {
            if (d_.remaining_bytes() == 0 || !d_.ConsumeBool()) return std::nullopt;
            return d_.ConsumeIntegral<unsigned char>();
        };
    }
    FuzzedDataProvider& d_;
    std::optional<unsigned char> unread_;
};

void agree(const Console& con, ScreenModel& t) {
    const GridPos at = t.grid.cursor();
    if (con.cursorRow() != at.row)
        fail("cursor row differs (console, screen)", con.cursorRow(), at.row);
    if (con.cursorCol() != at.col)
        fail("cursor column differs (console, screen)", con.cursorCol(), at.col);
    t.grid.update(t.view);
    for (int row = 1; row <= t.grid.rows(); ++row)
        for (int col = 1; col <= t.grid.cols(); ++col)
            if (t.view.at(col, row) != t.grid.at(col, row))
                fail("a reader's copy differs from the grid", col, row);
    if (con.cursorCol() < 1 || con.cursorCol() > con.windowCols() || con.cursorRow() < 1 ||
        con.cursorRow() > con.windowRows())
        fail("cursor outside the window", con.cursorCol(), con.cursorRow());
}

/// Decimal tokens have an independent reading: std::from_chars over 64 bits.
void checkDecimal(const std::string& token, bool isUnsigned) {
    auto got = parseNumberToken(token, isUnsigned);
    std::string_view t = token;
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty() || t.size() > 18 || t.find_first_not_of("0123456789") != std::string_view::npos)
        return;
    long long v = 0;
    std::from_chars(t.data(), t.data() + t.size(), v);
    if (negative) v = -v;
    const bool fits =
        isUnsigned ? (!negative && v <= 0xFFFFFFFFLL) : (v >= -0x80000000LL && v <= 0x7FFFFFFFLL);
    if (fits != got.has_value()) fail("number accepted or refused wrongly", v, got.has_value());
    if (fits && *got != v) fail("number read wrongly", v, static_cast<long>(*got));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider d(data, size);
    const int cols = d.ConsumeIntegralInRange<int>(1, 100);
    const int rows = d.ConsumeIntegralInRange<int>(1, 30);
    checkDecimal(d.ConsumeRandomLengthString(24), d.ConsumeBool());
    ScreenModel term(d, cols, rows);
    Console con(term);
    if (con.windowCols() != cols || con.windowRows() != rows) fail("window size", cols, rows);
    try {
        for (int n = 0; n < 200 && d.remaining_bytes() > 0; ++n) {
            i16 a = 0, b = 0;
            u8 m = 0;
            bool isNumber = true;
            switch (d.ConsumeIntegralInRange<int>(0, 9)) {
            case 0: isNumber = con.ReadUnsigned(m); break;
            case 1: isNumber = con.ReadLn(a); break;
            case 2: isNumber = con.ReadLn(a, b); break;
            case 3: con.ReadCharLn(); break;
            case 4: con.KeyPressed(); break;
            case 5: con.WaitKey(); break;
            case 6: {
                const u8 c = d.ConsumeIntegral<u8>(), r = d.ConsumeIntegral<u8>();
                con.GotoXY(c, r);
                break;
            }
            case 7: con.Write(d.ConsumeRandomLengthString(300)); break;
            case 8: con.WriteLn(d.ConsumeRandomLengthString(300)); break;
            default: con.ClrScr(); break;
            }
            agree(con, term);
            if (con.bufferedInput().size() > MAX_LINE + 2) fail("input line too long", 0, 0);
            // An answer that is not a number takes the rest of its line with it.
            if (!isNumber && !con.bufferedInput().empty())
                fail("a refused answer left part of its line", 0,
                     static_cast<long>(con.bufferedInput().size()));
            if (!isNumber && (a != 0 || b != 0 || m != 0))
                fail("a refused answer changed its targets", a, b);
        }
    } catch (const RuntimeError& e) {
        // A read ends only with a value, a refusal, or no more keys.
        if (e.code != RE_INPUT_ENDED) fail("unexpected runtime error", e.code, 0);
    }
    return 0;
}
