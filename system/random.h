// The game's one random generator: PCG32 (O'Neill's permuted congruential generator,
// XSH-RR output, 64-bit state) with unbiased range reduction, so that a seed gives the
// same game on every machine.
#pragma once

#include <cstdint>

namespace gs {

class Rng {
public:
    Rng() { seed(0); }
    virtual ~Rng() = default;

    /// Restarts the sequence from a seed (the clock's millisecond count).
    virtual void seed(std::uint64_t s);
    /// A uniform integer from 0 to n - 1; 0 when n is 0 or less.
    virtual int Random(int n);

    /// The next raw 32-bit output.
    std::uint32_t next32();

private:
    std::uint64_t state_ = 0;
    static constexpr std::uint64_t MULT = 6364136223846793005ULL;
    static constexpr std::uint64_t INC = 1442695040888963407ULL; // any odd constant
};

} // namespace gs
