// The console's screen as the window shows it: a fixed grid of character cells that takes
// exactly what the console sends its terminal (bytes, clear, cursor moves) and that a
// renderer on another thread reads.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

/// A cell position, 1-based like the console's.
struct GridPos {
    int col = 1, row = 1;
    bool operator==(const GridPos&) const = default;
};

/// A reader's own copy of a TextGrid, brought up to date by TextGrid::update. Besides the
/// cells it tells what the last update changed, so that a renderer redraws only that.
struct GridView {
    int cols = 0, rows = 0;
    std::vector<char32_t> cells; ///< row by row, top row first
    GridPos cursor;
    std::uint64_t version = 0; ///< the grid's version this copy shows (0: none yet)
    std::uint64_t scrollCount = 0;
    /// The last update: first the contents moved up by `scrolled` rows (0 to rows; the
    /// copy's own cells have been moved too), then the rows marked in `changed` (0-based)
    /// received new cells. A first update marks every row.
    int scrolled = 0;
    std::vector<bool> changed;

    char32_t at(int col, int row) const {
        return cells[static_cast<std::size_t>((row - 1) * cols + (col - 1))];
    }
};

class TextGrid {
public:
    /// A blank grid with the cursor in its top-left cell; sizes below 1 count as 1.
    TextGrid(int cols, int rows);
    TextGrid(const TextGrid&) = delete;
    TextGrid& operator=(const TextGrid&) = delete;

    int cols() const { return cols_; }
    int rows() const { return rows_; }

    // ---- What the console's terminal gets (the game's thread) ----

    /// Bytes as the console places them. A printable byte fills the cell at the cursor,
    /// which then moves right; a character in the last column leaves the cursor there
    /// until the next one, which first goes to column 1 of the next row (the console
    /// itself always writes CR LF there). A UTF-8 character fills one cell: its lead byte
    /// takes the cell, its continuation bytes complete it (even after the CR LF the console
    /// writes when the lead byte filled the last column); a continuation byte that belongs
    /// to no character takes no cell, and a broken character shows as U+FFFD. CR goes to
    /// column 1, LF one row down (at the bottom row the rows scroll up and a blank one
    /// comes in), BS one column left unless in column 1. BEL and the other control bytes,
    /// which the console never sends, show nothing.
    void write(std::string_view bytes);
    /// Blanks every cell and homes the cursor.
    void clear();
    /// Moves the cursor (1-based); a position outside the grid goes to its nearest cell.
    void moveCursor(int col, int row);

    // ---- Reading (any thread) ----

    /// Goes up with every change of a cell or of the cursor; read without the lock, so a
    /// renderer can tell cheaply whether there is anything to draw.
    std::uint64_t version() const { return version_.load(std::memory_order_acquire); }
    /// Brings `view` up to the grid's present state, copying only the rows that changed
    /// since the version it shows (a view of another size, or a new one, is copied
    /// whole). False when it was up to date already. Any number of views may follow one
    /// grid.
    bool update(GridView& view) const;
    /// The character in a cell (U+0020 for a blank one).
    char32_t at(int col, int row) const;
    /// One row as UTF-8 text, blanks included.
    std::string rowText(int row) const;
    GridPos cursor() const;
    /// True while a character in the last column holds the cursor there.
    bool wrapPending() const;
    /// Rows scrolled off the top since the grid was made.
    std::uint64_t scrollCount() const;

    /// Called after every change, on the writer's thread, with no lock held: lets the
    /// window wake up and draw. Set it before the grid is written.
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
    /// A UTF-8 character whose continuation bytes have not all come yet.
    struct OpenCharacter {
        bool open = false;
        GridPos at;
        int missing = 0;
        char32_t point = 0, least = 0;
    };

    void put(unsigned char byte);
    void printable(unsigned char byte);
    void continuation(unsigned char byte);
    /// A character cut short shows as U+FFFD.
    void closeCharacter();
    void lineFeed();
    void setCell(GridPos at, char32_t point);
    void touchRow(int row);
    /// Publishes the changes of one call and tells the listener.
    void publish(std::unique_lock<std::mutex>& lock);
    std::size_t index(int col, int row) const {
        return static_cast<std::size_t>((row - 1) * cols_ + (col - 1));
    }

    const int cols_, rows_;
    mutable std::mutex mutex_;
    std::vector<char32_t> cells_;
    /// The version in which each row last changed; it moves with the row when rows scroll.
    std::vector<std::uint64_t> rowVersion_;
    GridPos cursor_;
    bool wrapPending_ = false;
    OpenCharacter open_;
    std::uint64_t scrollCount_ = 0;
    bool touched_ = false; ///< the call in progress changed something
    std::atomic<std::uint64_t> version_{1};
    std::function<void()> listener_;
};

} // namespace gs
