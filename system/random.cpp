#include "system/random.h"

namespace gs {

void Rng::seed(std::uint64_t s) {
    state_ = 0;
    next32();
    state_ += s;
    next32();
}

std::uint32_t Rng::next32() {
    std::uint64_t old = state_;
    state_ = old * MULT + INC;
    auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

int Rng::Random(int n) {
    if (n <= 0) return 0;
    // Lemire's multiply-and-reject: no modulo bias for any n.
    const auto range = static_cast<std::uint32_t>(n);
    std::uint64_t m = std::uint64_t(next32()) * range;
    auto low = static_cast<std::uint32_t>(m);
    if (low < range) {
        const std::uint32_t threshold = (0u - range) % range;
        while (low < threshold) {
            m = std::uint64_t(next32()) * range;
            low = static_cast<std::uint32_t>(m);
        }
    }
    return static_cast<int>(m >> 32);
}

} // namespace gs
