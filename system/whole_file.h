// Small files read and replaced whole: a file the game keeps for the player between games.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gs {

/// The file at `path` whole, if it is a regular file of at most `limit` bytes. Nothing
/// when it cannot be read: `missing` is then true when nothing is there, and otherwise
/// `error` says why in a few words.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit, bool& missing,
                                         std::string& error);

/// Puts `text` at `path`: written to a new file beside it, then renamed over it, so that
/// the file is always either the old one or the new one whole. The folders on the way
/// are made (for the player alone) when they are missing. False, with `error`, when the
/// file cannot be written.
bool replaceWholeFile(const std::string& path, std::string_view text, std::string& error);

} // namespace gs
