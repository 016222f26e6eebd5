// The number tokens the player types and the level files hold, read by one rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace gs {

/// The token rules shared by the console and the level files: an optional "+" or "-",
/// then decimal digits, or hexadecimal after "$" or "0x" (lower-case x only), binary after
/// "%", octal after "&". The value must fit the signed 32-bit range (unsigned: the unsigned 32-bit
/// range, and no "-"). Returns the 32-bit value, or nothing when the token is not a number.
std::optional<std::int64_t> parseNumberToken(std::string_view token, bool isUnsigned);

/// Longest token and longest line a read takes.
constexpr std::size_t MAX_TOKEN = 255;

} // namespace gs
