// Level files: "./level/<LEV>.txt", the roster, gun and stocks as numbers, then the
// briefing lines that are shown before the battle.
#pragma once

#include <cstdint>
#include <string>

#include "game/state/game.h"

namespace gs {

/// The file of a level: "./level/", the decimal level number, ".txt".
std::string levelFileName(i16 lev);

/// 0 when the level's file can be opened, otherwise the run-time error number opening it
/// would end with (2 file missing, 3 `level` directory missing, 5 access denied).
int probeLevelFile(i16 lev);

/// A level file open for reading, with the console's token rules for its numbers.
/// Opening and reading failures end the game with the run-time error of the cause.
class TextFile {
  public:
    explicit TextFile(const std::string& path);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    /// Skips separators (bytes up to 32, line ends too) and reads a signed number;
    /// 0 at the end of the file; run-time error 106 when the token is not a number.
    std::int64_t readNumber();
    /// The rest of the current line up to its line end, at most 255 bytes.
    std::string readString();
    /// Drops the rest of the line and its line end (CR, LF or CR LF).
    void readLn();
    bool eof();

  private:
    int peek();
    int get();
    int fd_ = -1;
    char buf_[4096];
    std::size_t len_ = 0, pos_ = 0;
    bool ended_ = false;
};

/// Loads the level `LEV`: roster, gun and stocks, then shows the briefing. A file that
/// announces more than 20 units keeps the first 20 (NUMB becomes 20) and reads past the
/// rest, so the briefing still shows right. NUMB of 0 or less gives a level without units.
void loadLevel(Game& G);

} // namespace gs
