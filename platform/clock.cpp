#include "platform/clock.h"

#include <chrono>
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
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace gs
