// Pictures to PNG files with libpng: the pixel values are the palette indices, so a
// snapshot can be compared index by index with what the game drew.
#include "frontend/png/snapshots.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace gs {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// libpng reports errors by longjmp; the handlers below keep the message for the caller.
void onPngError(png_structp png, png_const_charp msg) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    if (error) *error = msg;
    png_longjmp(png, 1);
}
void onPngWarning(png_structp, png_const_charp) {}

} // namespace

bool writeIndexedPng(const Graph& g, const std::string& path, std::string& error) {
    const int w = g.width(), h = g.height();
    if (w <= 0 || h <= 0 || g.pixels().size() != static_cast<std::size_t>(w) * h) {
        error = "no picture to write";
        return false;
    }
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, onPngError, onPngWarning);
    if (!png) {
        error = "libpng could not start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    const std::uint8_t* px = g.pixels().data();
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        if (error.empty()) error = "libpng failed";
        error = path + ": " + error;
        return false;
    }
    png_init_io(png, f.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color pal[256];
    for (int i = 0; i < 256; ++i)
        pal[i] = {g.palette()[i][0], g.palette()[i][1], g.palette()[i][2]};
    png_set_PLTE(png, info, pal, 256);
    // Flat pictures compress well and fast without row filters.
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, const_cast<png_bytep>(px + static_cast<std::size_t>(y) * w));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(f.get()) != 0 || std::ferror(f.get())) {
        error = path + ": write failed";
        return false;
    }
    return true;
}

bool readIndexedPng(const std::string& path, int& w, int& h, std::vector<std::uint8_t>& pixels,
                    Palette& palette, std::string& error) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, onPngError, onPngWarning);
    if (!png) {
        error = "libpng could not start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (error.empty()) error = "libpng failed";
        error = path + ": " + error;
        return false;
    }
    png_init_io(png, f.get());
    png_read_info(png, info);
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE ||
        png_get_bit_depth(png, info) != 8) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = path + ": not an 8-bit indexed picture";
        return false;
    }
    w = static_cast<int>(png_get_image_width(png, info));
    h = static_cast<int>(png_get_image_height(png, info));
    png_colorp pal = nullptr;
    int n = 0;
    png_get_PLTE(png, info, &pal, &n);
    palette = {};
    for (int i = 0; i < n && i < 256; ++i) palette[i] = {pal[i].red, pal[i].green, pal[i].blue};
    pixels.assign(static_cast<std::size_t>(w) * h, 0);
    for (int y = 0; y < h; ++y)
        png_read_row(png, pixels.data() + static_cast<std::size_t>(y) * w, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::function<void(const Graph&)> snapshotSeries(const std::string& dir) {
    auto next = std::make_shared<int>(0);
    return [dir, next](const Graph& g) {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        char name[32];
        std::snprintf(name, sizeof name, "%04d.png", ++*next);
        const std::string path = (std::filesystem::path(dir) / name).string();
        std::string error;
        // A snapshot that cannot be written must not end the game: say so and play on.
        if (!writeIndexedPng(g, path, error))
            std::fprintf(stderr, "Snapshot not written: %s\n", error.c_str());
    };
}

} // namespace gs
