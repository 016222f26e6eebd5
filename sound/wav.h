// Sound written to a WAV file: the writer, the rendering of a game's events at their
// times on the game's clock, and the recording that does it beside a running game.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "sound/event_queue.h"
#include "sound/mixer.h"

namespace gs {

/// 16-bit mono PCM. The sizes in the header are written at close.
class WavWriter {
public:
    WavWriter(const std::string& path, int rate);
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool ok() const { return file_ != nullptr && !failed_; }
    void write(const float* samples, std::size_t count);
    /// Finishes the header; false when anything could not be written.
    bool close();

private:
    std::FILE* file_ = nullptr;
    int rate_;
    std::uint64_t samples_ = 0;
    bool failed_ = false;
};

/// Renders events at their times: an event at the game's millisecond t starts at sample
/// t x rate / 1000, silence fills the time between, and the last sounds ring out at the end.
/// Events come in the order of the game's clock; one stamped before the rendered end starts
/// at once.
class Timeline {
public:
    using Out = std::function<void(const float*, std::size_t)>;
    Timeline(int rate, Out out) : mixer_(rate), out_(std::move(out)) {}

    void add(const SoundEvent& e);
    /// Renders up to the game's millisecond `endMs` (the silence of its last pauses), and on
    /// until every sound has ended.
    void finish(std::uint64_t endMs = 0);
    std::uint64_t rendered() const { return at_; }

private:
    void renderTo(std::uint64_t sample);
    Mixer mixer_;
    Out out_;
    std::uint64_t at_ = 0;
    std::vector<float> block_ = std::vector<float>(1024);
};

/// A game's sound written to a file as it is played (`--sound-wav FILE`): the game pushes
/// to a queue, a thread of the recording renders. The file is finished on destruction.
class WavRecording : public SoundSink {
public:
    explicit WavRecording(const std::string& path);
    ~WavRecording() override;
    /// The file was opened (whatever happens to the writing later, on the recording's own
    /// thread: finish() tells).
    bool ok() const { return opened_; }
    void play(const SoundEvent& e) override;
    /// Renders what is left, up to the game's millisecond `endMs` at least, and closes the
    /// file; false when it could not be written.
    bool finish(std::uint64_t endMs = 0);

private:
    void run();
    WavWriter writer_;
    Timeline timeline_;
    EventQueue<16384> queue_;
    std::atomic<bool> done_{false};
    std::atomic<std::uint64_t> endMs_{0};
    std::atomic<std::uint64_t> dropped_{0};
    std::thread thread_;
    bool opened_ = false; ///< set before the recording's thread starts
    bool finished_ = false, written_ = true;
};

} // namespace gs
