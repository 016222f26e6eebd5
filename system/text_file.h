// A text file read the way the game reads its level files: numbers by the console's
// token rules, then lines. Every failure ends the game with the run-time error of its
// cause.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace gs {

/// 0 when the file at `path` can be opened for reading, otherwise the run-time error
/// number opening it ends with: 2 the file is missing, 3 its folder is missing, 5 it
/// cannot be read (access denied, or a directory, device or pipe in its place).
int probeTextFile(const std::string& path);

/// A text file open for reading.
class TextFile {
public:
    /// Opens `path`; a file that cannot be opened ends the game with probeTextFile's error.
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

} // namespace gs
