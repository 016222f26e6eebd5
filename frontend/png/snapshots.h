// Pictures to PNG files: 8-bit indexed, pixel values are palette indices.
#pragma once
#include "picture/graph.h"
#include <string>

namespace gs {
/// Writes the open picture of `g` to `path`. Returns false (and sets `error`) on failure.
bool writeIndexedPng(const Graph& g, const std::string& path, std::string& error);
/// Reads an indexed PNG back (for tests): its size, pixel indices and palette.
bool readIndexedPng(const std::string& path, int& w, int& h, std::vector<std::uint8_t>& pixels,
                    Palette& palette, std::string& error);
/// A snapshot writer for Graph::setSnapshotWriter: DIR/0001.png, DIR/0002.png, ...
/// (DIR is created when missing).
std::function<void(const Graph&)> snapshotSeries(const std::string& dir);
} // namespace gs
