#include "system/directories.h"

#include <sys/stat.h>

namespace gs {

bool isDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::string> firstDirectory(const std::vector<std::string>& places) {
    for (const std::string& place : places)
        if (isDirectory(place)) return place;
    return std::nullopt;
}

} // namespace gs
