#include "system/whole_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {

namespace {

/// Makes the folder `dir` and the missing ones above it.
bool makeFolders(const std::string& dir, std::string& error) {
    if (dir.empty()) return true;
    struct stat info {};
    if (stat(dir.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        error = dir + " is not a directory";
        return false;
    }
    const auto slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(dir.substr(0, slash), error))
        return false;
    if (mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) return true;
    error = dir + ": " + std::strerror(errno);
    return false;
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit, bool& missing,
                                         std::string& error) {
    missing = false;
    // Not blocking: a pipe left in the file's place must not hold the game up.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT || errno == ENOTDIR;
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "not a regular file";
    } else {
        char buf[4096];
        for (;;) {
            const ssize_t got = read(fd, buf, sizeof buf);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                error = std::strerror(errno);
                break;
            }
            if (got == 0) break;
            text.append(buf, static_cast<std::size_t>(got));
            if (text.size() > limit) {
                error = "longer than " + std::to_string(limit) + " bytes";
                break;
            }
        }
    }
    close(fd);
    if (!error.empty()) return std::nullopt;
    return text;
}

bool writeAllAt(int fd, std::string_view text, std::uint64_t offset, std::string& error) {
    while (!text.empty()) {
        const ssize_t put = pwrite(fd, text.data(), text.size(), static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            error = put < 0 ? std::strerror(errno) : "nothing could be written";
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(put));
        offset += static_cast<std::uint64_t>(put);
    }
    return true;
}

int writeFileAnew(const std::string& path, std::string_view text, unsigned mode,
                  std::string& error) {
    const std::string part = path + ".part";
    const std::string inTheWay = part + " is in the way: not a regular file";
    struct stat file {};
    if (lstat(part.c_str(), &file) == 0 && !S_ISREG(file.st_mode)) {
        error = inTheWay;
        return -1;
    }
    if (unlink(part.c_str()) != 0 && errno != ENOENT) {
        error = part + ": " + std::strerror(errno);
        return -1;
    }
    const int fd = open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC,
                        static_cast<mode_t>(mode));
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    if (fstat(fd, &file) != 0 || !S_ISREG(file.st_mode)) {
        close(fd);
        error = inTheWay;
        return -1;
    }
    // On the disk before it takes the old file's name: a crash leaves one or the other.
    bool ok = writeAllAt(fd, text, 0, error);
    if (ok && (fsync(fd) != 0 || rename(part.c_str(), path.c_str()) != 0)) {
        error = std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        close(fd);
        unlink(part.c_str());
        return -1;
    }
    return fd;
}

bool replaceWholeFile(const std::string& path, std::string_view text, std::string& error) {
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && !makeFolders(path.substr(0, slash), error)) return false;
    const int fd = writeFileAnew(path, text, 0600, error);
    if (fd < 0) return false;
    if (close(fd) == 0) return true;
    error = std::strerror(errno);
    return false;
}

} // namespace gs
