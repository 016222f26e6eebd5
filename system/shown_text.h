// Bytes from outside the game (a demo file, a path from the environment or the command line)
// as a line on the terminal may show them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gs {

/// Printable ASCII as it is, any other byte as \xHH, so that a terminal never acts on an
/// escape sequence or a line end hidden in them; at most `most` bytes, then "...".
std::string shownText(std::string_view text, std::size_t most = std::string_view::npos);

} // namespace gs
