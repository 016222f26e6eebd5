#include "system/clock.h"

#include <thread>

namespace gs {

Clock::Clock(Config c) : cfg_(c), virtual_(c.seed.value_or(0)) {}

void Clock::Delay(std::uint16_t ms) {
    virtual_ += ms;
    delayed_ += ms;
    if (!cfg_.fast && ms > 0) sleepMs(ms);
}

std::uint32_t Clock::seedTicks() const {
    if (cfg_.seed) return static_cast<std::uint32_t>(virtual_);
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() ^
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

void Clock::sleepMs(std::uint16_t ms) {
    const Instant start = now();
    if (!due_ || start - *due_ > CATCH_UP) due_ = start;
    *due_ += std::chrono::milliseconds(ms);
    sleepUntil(*due_);
}

void Clock::sleepUntil(Instant deadline) { std::this_thread::sleep_until(deadline); }

} // namespace gs
