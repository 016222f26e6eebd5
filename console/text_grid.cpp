#include "console/text_grid.h"

#include <algorithm>

namespace gs {

namespace {

constexpr char32_t BLANK = U' ';
constexpr char32_t REPLACEMENT = 0xFFFD;

void appendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (point >> 6)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

} // namespace

TextGrid::TextGrid(int cols, int rows)
    : cols_(std::max(cols, 1)), rows_(std::max(rows, 1)),
      cells_(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_), BLANK),
      rowVersion_(static_cast<std::size_t>(rows_), 1) {}

void TextGrid::write(std::string_view bytes) {
    std::unique_lock lock(mutex_);
    for (char byte : bytes) put(static_cast<unsigned char>(byte));
    publish(lock);
}

void TextGrid::clear() {
    std::unique_lock lock(mutex_);
    std::fill(cells_.begin(), cells_.end(), BLANK);
    for (int row = 1; row <= rows_; ++row) touchRow(row);
    cursor_ = {};
    wrapPending_ = false;
    open_.open = false; // its cell is blank now
    touched_ = true;
    publish(lock);
}

void TextGrid::moveCursor(int col, int row) {
    std::unique_lock lock(mutex_);
    closeCharacter();
    const GridPos to{std::clamp(col, 1, cols_), std::clamp(row, 1, rows_)};
    if (to != cursor_ || wrapPending_) touched_ = true;
    cursor_ = to;
    wrapPending_ = false;
    publish(lock);
}

void TextGrid::put(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xC0) {
        continuation(byte);
        return;
    }
    switch (byte) {
    case '\r':
        // The console's own line end may fall inside a character that filled the last
        // column: the character stays open for its continuation bytes.
        if (cursor_.col != 1 || wrapPending_) touched_ = true;
        cursor_.col = 1;
        wrapPending_ = false;
        return;
    case '\n':
        lineFeed();
        wrapPending_ = false;
        touched_ = true;
        return;
    case '\b':
        // With a wrap pending the cursor is logically past the last column: one step
        // back is the last column itself.
        closeCharacter();
        if (wrapPending_ || cursor_.col > 1) touched_ = true;
        if (!wrapPending_ && cursor_.col > 1) --cursor_.col;
        wrapPending_ = false;
        return;
    default: break;
    }
    if (byte < 32 || byte == 127) return; // the bell and other control bytes show nothing
    printable(byte);
}

void TextGrid::printable(unsigned char byte) {
    closeCharacter();
    if (wrapPending_) {
        cursor_.col = 1;
        lineFeed();
        wrapPending_ = false;
    }
    if (byte < 0x80) {
        setCell(cursor_, byte);
    } else {
        // A lead byte: how many continuation bytes follow, and the least code point that
        // many may encode (a longer form than needed is not a character).
        int missing = byte < 0xE0 ? 1 : byte < 0xF0 ? 2 : byte < 0xF5 ? 3 : 0;
        if (byte < 0xC2) missing = 0; // 0xC0 and 0xC1 only ever start an overlong form
        if (missing == 0) {
            setCell(cursor_, REPLACEMENT);
        } else {
            static constexpr char32_t LEAST[] = {0, 0x80, 0x800, 0x10000};
            const int payloadBits = 6 - missing;
            open_ = {true, cursor_, missing,
                     static_cast<char32_t>(byte & ((1u << payloadBits) - 1)), LEAST[missing]};
            setCell(cursor_, BLANK); // shown once it is complete
        }
    }
    if (cursor_.col == cols_)
        wrapPending_ = true;
    else
        ++cursor_.col;
    touched_ = true;
}

void TextGrid::continuation(unsigned char byte) {
    if (!open_.open) return; // belongs to no character: no cell, as the console counts it
    open_.point = (open_.point << 6) | (byte & 0x3Fu);
    if (--open_.missing > 0) return;
    open_.open = false;
    const char32_t point = open_.point;
    const bool valid =
        point >= open_.least && point <= 0x10FFFF && !(point >= 0xD800 && point <= 0xDFFF);
    setCell(open_.at, valid ? point : REPLACEMENT);
}

void TextGrid::closeCharacter() {
    if (!open_.open) return;
    open_.open = false;
    setCell(open_.at, REPLACEMENT);
}

void TextGrid::lineFeed() {
    if (cursor_.row < rows_) {
        ++cursor_.row;
        return;
    }
    // The bottom row: everything moves up one row, and the versions move with the rows.
    std::copy(cells_.begin() + cols_, cells_.end(), cells_.begin());
    std::fill(cells_.end() - cols_, cells_.end(), BLANK);
    std::copy(rowVersion_.begin() + 1, rowVersion_.end(), rowVersion_.begin());
    touchRow(rows_);
    ++scrollCount_;
    if (open_.open && --open_.at.row < 1) open_.open = false; // its cell scrolled away
}

void TextGrid::setCell(GridPos at, char32_t point) {
    char32_t& cell = cells_[index(at.col, at.row)];
    if (cell == point) return;
    cell = point;
    touchRow(at.row);
}

void TextGrid::touchRow(int row) {
    rowVersion_[static_cast<std::size_t>(row - 1)] = version_.load(std::memory_order_relaxed) + 1;
    touched_ = true;
}

void TextGrid::publish(std::unique_lock<std::mutex>& lock) {
    if (!touched_) return;
    touched_ = false;
    version_.fetch_add(1, std::memory_order_release);
    lock.unlock();
    if (listener_) listener_();
}

bool TextGrid::update(GridView& view) const {
    std::lock_guard lock(mutex_);
    const std::uint64_t now = version_.load(std::memory_order_relaxed);
    const auto rowCount = static_cast<std::size_t>(rows_);
    const auto width = static_cast<std::size_t>(cols_);
    view.scrolled = 0;
    view.changed.assign(rowCount, false);
    if (view.cols != cols_ || view.rows != rows_ || view.version == 0 || view.version > now) {
        view.cols = cols_;
        view.rows = rows_;
        view.cells = cells_;
        view.changed.assign(rowCount, true);
    } else if (view.version == now) {
        return false;
    } else {
        const std::uint64_t moved = scrollCount_ - view.scrollCount;
        const std::size_t up = moved < rowCount ? static_cast<std::size_t>(moved) : rowCount;
        if (up > 0) {
            std::copy(view.cells.begin() + static_cast<std::ptrdiff_t>(up * width),
                      view.cells.end(), view.cells.begin());
            view.scrolled = static_cast<int>(up);
        }
        for (std::size_t row = 0; row < rowCount; ++row) {
            if (rowVersion_[row] <= view.version) continue; // as it was, possibly moved up
            std::copy_n(cells_.begin() + static_cast<std::ptrdiff_t>(row * width), width,
                        view.cells.begin() + static_cast<std::ptrdiff_t>(row * width));
            view.changed[row] = true;
        }
    }
    view.cursor = cursor_;
    view.version = now;
    view.scrollCount = scrollCount_;
    return true;
}

char32_t TextGrid::at(int col, int row) const {
    std::lock_guard lock(mutex_);
    if (col < 1 || col > cols_ || row < 1 || row > rows_) return BLANK;
    return cells_[index(col, row)];
}

std::string TextGrid::rowText(int row) const {
    std::lock_guard lock(mutex_);
    std::string text;
    if (row < 1 || row > rows_) return text;
    for (int col = 1; col <= cols_; ++col) appendUtf8(text, cells_[index(col, row)]);
    return text;
}

GridPos TextGrid::cursor() const {
    std::lock_guard lock(mutex_);
    return cursor_;
}

bool TextGrid::wrapPending() const {
    std::lock_guard lock(mutex_);
    return wrapPending_;
}

std::uint64_t TextGrid::scrollCount() const {
    std::lock_guard lock(mutex_);
    return scrollCount_;
}

} // namespace gs
