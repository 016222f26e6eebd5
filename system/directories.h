// Folders on disk: which of several places holds the files the game reads.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace gs {

/// True when `path` is a directory (a link to one counts).
bool isDirectory(const std::string& path);

/// The first of `places` that is a directory; none when no place is.
std::optional<std::string> firstDirectory(const std::vector<std::string>& places);

} // namespace gs
