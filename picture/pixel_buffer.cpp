#include "picture/pixel_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace gs {

void PixelBuffer::assignZeroed(std::size_t n) {
    if (n == size_) {
        if (n > 0) std::memset(data_, 0, n);
        return;
    }
    release();
    if (n == 0) return;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // A picture smaller than one large page is quick to touch in small pages, and malloc
    // reuses its memory from one game to the next. A larger one gets fresh pages, zero
    // already, from a mapping with room to start and end it on large-page boundaries.
    constexpr std::size_t LARGE = std::size_t{2} << 20;
    const std::size_t large = (n + LARGE - 1) & ~(LARGE - 1);
    void* m = n < LARGE ? MAP_FAILED
                        : mmap(nullptr, large + LARGE, PROT_READ | PROT_WRITE,
                               MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m != MAP_FAILED) {
        mapping_ = m;
        mapped_ = large + LARGE;
        const auto start = (reinterpret_cast<std::uintptr_t>(m) + LARGE - 1) & ~(LARGE - 1);
        data_ = reinterpret_cast<std::uint8_t*>(start);
        size_ = n;
        madvise(data_, large, MADV_HUGEPAGE);
        return;
    }
#endif
    data_ = static_cast<std::uint8_t*>(std::calloc(n, 1));
    if (!data_) throw std::bad_alloc();
    size_ = n;
}

void PixelBuffer::release() {
#if defined(__linux__)
    if (mapping_) munmap(mapping_, mapped_);
#endif
    if (!mapping_) std::free(data_);
    mapping_ = nullptr;
    mapped_ = 0;
    data_ = nullptr;
    size_ = 0;
}

} // namespace gs
