// Small files read and replaced whole: a file the game keeps for the player between games.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gs {

/// The file at `path` whole, if it is a regular file of at most `limit` bytes. Nothing
/// when it cannot be read: `missing` is then true when nothing is there, and otherwise
/// `error` says why in a few words.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit, bool& missing,
                                         std::string& error);

/// Puts `text` at `path` whole: written to a new file beside it (`path` + ".part"), on the
/// disk, then renamed over it, so that the file is always either the old one or the new
/// one whole, whenever the program ends. A regular file left at the new file's name by a
/// writer that was killed is removed first, never written through (whatever has linked it
/// since keeps its copy); anything else standing there is refused, never followed or
/// waited on. Returns the file, still open for writing (a demo goes on appending to it),
/// or -1 with `error` set.
int writeFileAnew(const std::string& path, std::string_view text, unsigned mode,
                  std::string& error);

/// writeFileAnew for a file the game keeps for the player alone, closed once written; the
/// folders on the way are made (for the player alone) when they are missing. False, with
/// `error`, when the file cannot be written.
bool replaceWholeFile(const std::string& path, std::string_view text, std::string& error);

/// Writes all of `text` at `offset` of the open file `fd`; false, with `error`, when it
/// cannot.
bool writeAllAt(int fd, std::string_view text, std::uint64_t offset, std::string& error);

} // namespace gs
