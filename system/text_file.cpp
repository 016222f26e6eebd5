#include "system/text_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "system/directories.h"
#include "system/number_token.h"
#include "system/runtime_error.h"

namespace gs {

namespace {

/// The folder part of a path: what must exist for the file to be found.
std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int openFailure(int err, const std::string& path) {
    switch (err) {
    case ENOENT: return isDirectory(folderOf(path)) ? RE_FILE_NOT_FOUND : RE_PATH_NOT_FOUND;
    case ENOTDIR: return RE_PATH_NOT_FOUND;
    default: return RE_ACCESS_DENIED;
    }
}

/// Opens a file for reading; on failure returns -1 and the game's error number in `code`.
int openForReading(const std::string& path, int& code) {
    // Non-blocking, so that a pipe in place of the file cannot hold the game up here.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        code = openFailure(errno, path);
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // A directory, a device or a pipe in place of the file: nothing the game can read.
        ::close(fd);
        code = RE_ACCESS_DENIED;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    code = 0;
    return fd;
}

} // namespace

int probeTextFile(const std::string& path) {
    int code = 0;
    int fd = openForReading(path, code);
    if (fd >= 0) ::close(fd);
    return code;
}

TextFile::TextFile(const std::string& path) {
    int code = 0;
    fd_ = openForReading(path, code);
    if (fd_ < 0) raiseRuntimeError(code);
}

TextFile::~TextFile() {
    if (fd_ >= 0) ::close(fd_);
}

int TextFile::peek() {
    if (pos_ < len_) return static_cast<unsigned char>(buf_[pos_]);
    if (ended_) return -1;
    for (;;) {
        ssize_t got = ::read(fd_, buf_, sizeof buf_);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) raiseRuntimeError(RE_READ_FAILED);
        if (got == 0) {
            ended_ = true;
            return -1;
        }
        len_ = static_cast<std::size_t>(got);
        pos_ = 0;
        return static_cast<unsigned char>(buf_[0]);
    }
}

int TextFile::get() {
    int ch = peek();
    if (ch >= 0) ++pos_;
    return ch;
}

bool TextFile::eof() { return peek() < 0; }

std::int64_t TextFile::readNumber() {
    int ch;
    while ((ch = peek()) >= 0 && ch <= 32) get();
    if (ch < 0) return 0; // the file ended before this number: it is 0
    std::string token;
    while ((ch = peek()) > 32 && token.size() < MAX_TOKEN)
        token.push_back(static_cast<char>(get()));
    auto value = parseNumberToken(token, false);
    if (!value) raiseRuntimeError(RE_INVALID_NUMBER);
    return *value;
}

std::string TextFile::readString() {
    std::string line;
    int ch;
    while ((ch = peek()) >= 0 && ch != '\r' && ch != '\n' && line.size() < MAX_TOKEN)
        line.push_back(static_cast<char>(get()));
    return line;
}

void TextFile::readLn() {
    int ch;
    while ((ch = peek()) >= 0 && ch != '\r' && ch != '\n') get();
    if (ch == '\r') {
        get();
        if (peek() == '\n') get();
    } else if (ch == '\n') {
        get();
    }
}

} // namespace gs
