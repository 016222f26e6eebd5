// The lock-free hand-over from one thread to another: the game pushes, the mixer's thread
// pops. A full queue drops the event rather than make the game wait.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <optional>

#include "sound/sound.h"

namespace gs {

template <std::size_t N = 1024> class EventQueue {
    static_assert((N & (N - 1)) == 0, "the capacity is a power of two");

public:
    /// The producer's side. False when the queue is full and the event was dropped.
    bool push(const SoundEvent& e) {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) >= N) return false;
        slots_[tail & (N - 1)] = e;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }
    /// The consumer's side.
    std::optional<SoundEvent> pop() {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return std::nullopt;
        SoundEvent e = slots_[head & (N - 1)];
        head_.store(head + 1, std::memory_order_release);
        return e;
    }
    /// Either side, or a third thread that only looks.
    bool empty() const {
        return head_.load(std::memory_order_acquire) == tail_.load(std::memory_order_acquire);
    }

private:
    std::array<SoundEvent, N> slots_{};
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
};

} // namespace gs
