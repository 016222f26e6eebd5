#include "game/level_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/console.h"
#include "platform/runtime_error.h"

namespace gs {

namespace {

constexpr const char* LEVEL_DIR = "./level";
/// A read that fails half way through a file.
constexpr int RE_READ_FAILED = 100;

bool isDirectory(const char* path) {
    struct stat st {};
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

int openFailure(int err) {
    switch (err) {
    case ENOENT:
        return isDirectory(LEVEL_DIR) ? RE_FILE_NOT_FOUND : RE_PATH_NOT_FOUND;
    case ENOTDIR:
        return RE_PATH_NOT_FOUND;
    default:
        return RE_ACCESS_DENIED;
    }
}

/// Opens a level file; on failure returns -1 and the game's error number in `code`.
int openLevel(const std::string& path, int& code) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        code = openFailure(errno);
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        // A directory, a device or a pipe in place of a level: not a file the game can read.
        ::close(fd);
        code = RE_ACCESS_DENIED;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    code = 0;
    return fd;
}

} // namespace

std::string levelFileName(i16 lev) {
    return std::string(LEVEL_DIR) + "/" + std::to_string(lev) + ".txt";
}

int probeLevelFile(i16 lev) {
    int code = 0;
    int fd = openLevel(levelFileName(lev), code);
    if (fd >= 0) ::close(fd);
    return code;
}

TextFile::TextFile(const std::string& path) {
    int code = 0;
    fd_ = openLevel(path, code);
    if (fd_ < 0) raiseRuntimeError(code);
}

TextFile::~TextFile() {
    if (fd_ >= 0) ::close(fd_);
}

int TextFile::peek() {
    if (pos_ < len_) return static_cast<unsigned char>(buf_[pos_]);
    if (ended_) return -1;
    for (;;) {
        ssize_t n = ::read(fd_, buf_, sizeof buf_);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) raiseRuntimeError(RE_READ_FAILED);
        if (n == 0) {
            ended_ = true;
            return -1;
        }
        len_ = static_cast<std::size_t>(n);
        pos_ = 0;
        return static_cast<unsigned char>(buf_[0]);
    }
}

int TextFile::get() {
    int c = peek();
    if (c >= 0) ++pos_;
    return c;
}

bool TextFile::eof() {
    return peek() < 0;
}

std::int64_t TextFile::readNumber() {
    int c;
    while ((c = peek()) >= 0 && c <= 32) get();
    if (c < 0) return 0; // the file ended before this number: it is 0
    std::string token;
    while ((c = peek()) > 32 && token.size() < MAX_TOKEN) token.push_back(static_cast<char>(get()));
    auto v = parseNumberToken(token, false);
    if (!v) raiseRuntimeError(RE_INVALID_NUMBER);
    return *v;
}

std::string TextFile::readString() {
    std::string s;
    int c;
    while ((c = peek()) >= 0 && c != '\r' && c != '\n' && s.size() < MAX_TOKEN)
        s.push_back(static_cast<char>(get()));
    return s;
}

void TextFile::readLn() {
    int c;
    while ((c = peek()) >= 0 && c != '\r' && c != '\n') get();
    if (c == '\r') {
        get();
        if (peek() == '\n') get();
    } else if (c == '\n') {
        get();
    }
}

void loadLevel(Game& G) {
    G.con.ClrScr();
    G.LEV_STR = std::to_string(G.LEV);
    TextFile BR(levelFileName(G.LEV));
    G.NUMB = w16(BR.readNumber());
    G.GUNX = w16(BR.readNumber());
    G.FS = w16(BR.readNumber());
    G.BS = w16(BR.readNumber());
    G.TS = w16(BR.readNumber());
    G.MAXGUNHP = w16(BR.readNumber());
    const int announced = G.NUMB;
    // The roster holds 20: the pairs of further units are read (so the briefing starts in
    // the right place) but not kept.
    if (G.NUMB > MAXUNITS) G.NUMB = MAXUNITS;
    for (int i = 1; i <= announced; ++i) {
        G.INP = w16(i);
        i16 x = w16(BR.readNumber());
        i16 typ = w16(BR.readNumber());
        if (i <= MAXUNITS) {
            G.unit(i).X = x;
            G.unit(i).TYP = typ;
        }
    }
    G.con.ClrScr();
    do {
        G.S = BR.readString();
        BR.readLn();
        G.con.WriteLn(G.S);
    } while (!BR.eof());
}

} // namespace gs
