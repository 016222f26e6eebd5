// The memory of a picture: millions of zeroed bytes that are quick to touch the first time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace gs {

/// Zeroed bytes for a picture. Where the platform has large pages, a picture of 2 MiB or
/// more lies in them, so that a fresh 3840x2160 picture is first touched in four faults
/// instead of two thousand (the last large page may hold up to 2 MiB more than needed).
class PixelBuffer {
public:
    PixelBuffer() = default;
    ~PixelBuffer() { release(); }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    /// Holds `n` bytes, every one zero. The memory is kept (and cleared) when the size
    /// stays the same.
    void assignZeroed(std::size_t n);
    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::span<const std::uint8_t> view() const { return {data_, size_}; }

private:
    void release();
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr; ///< the pages mapped for the buffer; null when it came from calloc
    std::size_t mapped_ = 0;
};

} // namespace gs
