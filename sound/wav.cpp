#include "sound/wav.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace gs {

namespace {

void put16(std::uint8_t* at, std::uint32_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
}

/// The 44-byte header of a mono 16-bit file of `samples` samples.
std::array<std::uint8_t, 44> header(int rate, std::uint64_t samples) {
    std::array<std::uint8_t, 44> h{};
    const auto data = static_cast<std::uint32_t>(std::min<std::uint64_t>(samples * 2, 0xFFFFFFD3u));
    std::copy_n("RIFF", 4, h.begin());
    put32(&h[4], 36 + data);
    std::copy_n("WAVEfmt ", 8, h.begin() + 8);
    put32(&h[16], 16);
    put16(&h[20], 1); // PCM
    put16(&h[22], 1); // mono
    put32(&h[24], static_cast<std::uint32_t>(rate));
    put32(&h[28], static_cast<std::uint32_t>(rate) * 2);
    put16(&h[32], 2);
    put16(&h[34], 16);
    std::copy_n("data", 4, h.begin() + 36);
    put32(&h[40], data);
    return h;
}

} // namespace

WavWriter::WavWriter(const std::string& path, int rate) : rate_(rate) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return;
    const auto h = header(rate_, 0);
    failed_ = std::fwrite(h.data(), 1, h.size(), file_) != h.size();
}

WavWriter::~WavWriter() { close(); }

void WavWriter::write(const float* samples, std::size_t count) {
    if (!file_ || failed_) return;
    std::vector<std::uint8_t> bytes(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        const float s = std::clamp(samples[i], -1.0f, 1.0f);
        const auto v = static_cast<std::int16_t>(std::lround(s * 32767.0f));
        put16(&bytes[2 * i], static_cast<std::uint16_t>(v));
    }
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
    samples_ += count;
}

bool WavWriter::close() {
    if (!file_) return false;
    const auto h = header(rate_, samples_);
    if (!failed_)
        failed_ = std::fseek(file_, 0, SEEK_SET) != 0 ||
                  std::fwrite(h.data(), 1, h.size(), file_) != h.size();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed_;
}

void Timeline::renderTo(std::uint64_t sample) {
    while (at_ < sample) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(block_.size(), sample - at_));
        mixer_.mix(block_.data(), n);
        out_(block_.data(), n);
        at_ += n;
    }
}

void Timeline::add(const SoundEvent& e) {
    renderTo(e.atMs * static_cast<std::uint64_t>(mixer_.rate()) / 1000);
    mixer_.start(e);
}

void Timeline::finish(std::uint64_t endMs) {
    renderTo(endMs * static_cast<std::uint64_t>(mixer_.rate()) / 1000);
    while (mixer_.sounding()) renderTo(at_ + block_.size());
}

WavRecording::WavRecording(const std::string& path)
    : writer_(path, SAMPLE_RATE),
      timeline_(SAMPLE_RATE, [this](const float* s, std::size_t n) { writer_.write(s, n); }) {
    opened_ = writer_.ok();
    if (opened_) thread_ = std::thread([this] { run(); });
}

WavRecording::~WavRecording() { finish(); }

void WavRecording::play(const SoundEvent& e) {
    if (!queue_.push(e)) dropped_.fetch_add(1, std::memory_order_relaxed);
}

void WavRecording::run() {
    // The game never waits for the recording: it looks at the queue now and then, and a
    // fast game's burst fits in the queue between two looks.
    for (;;) {
        const bool last = done_.load(std::memory_order_acquire);
        while (auto e = queue_.pop()) timeline_.add(*e);
        if (last) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    timeline_.finish(endMs_.load());
}

bool WavRecording::finish(std::uint64_t endMs) {
    if (finished_) return written_;
    finished_ = true;
    endMs_.store(endMs);
    done_.store(true, std::memory_order_release);
    if (thread_.joinable()) thread_.join();
    written_ = writer_.close() && dropped_.load() == 0;
    return written_;
}

} // namespace gs
