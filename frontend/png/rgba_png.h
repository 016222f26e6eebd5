// Full-colour pictures with transparency as PNG files: the desktop icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gs {

/// A picture of red, green, blue and alpha bytes, rows from the top.
struct RgbaPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba; ///< 4 bytes a pixel
};

/// Writes `pic` to `path` as an 8-bit RGBA PNG. Returns false (and sets `error`) on failure.
bool writeRgbaPng(const RgbaPicture& pic, const std::string& path, std::string& error);
/// Reads any PNG as RGBA.
bool readRgbaPng(const std::string& path, RgbaPicture& pic, std::string& error);

} // namespace gs
