// The game's sound on the desktop: the device in the window modes (SDL's audio, opened
// only then), the WAV file of --sound-wav, or both. The game hands its events to whichever
// listens and never learns which; without either it keeps the silent sink.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "frontend/sdl/audio.h"
#include "program/options.h"
#include "sound/live.h"
#include "sound/wav.h"
#include "state/game.h"

namespace gs {

class DesktopSound {
public:
    /// The device's buffer: 512 samples, about 11 ms, so that a sound is heard within two
    /// buffers of the frame that shows it.
    static constexpr int BUFFER_FRAMES = 512;

    DesktopSound(const Options& o, Game& G) : game_(G) {
        if (o.soundWav) {
            wav_.emplace(*o.soundWav);
            if (!wav_->ok()) error_ = "the sound file " + *o.soundWav + " cannot be written";
        }
        if (soundHeard(o)) {
            live_.emplace();
            live_->setKeyClicks(o.keyClicks);
            LiveSound* live = &*live_;
            device_ = AudioDevice::open(
                SAMPLE_RATE, BUFFER_FRAMES,
                [live](float* out, std::size_t frames) { return live->fill(out, frames); },
                [live] { return live->quiet(); });
            if (device_) {
                live_->onEvent = [d = device_.get()] { d->wake(); };
                device_->onKey = [live] { live->keyClick(); };
                device_->takeWindowKeys();
            }
        }
        SoundSink* heard = device_ ? &*live_ : nullptr;
        SoundSink* written = wav_ && wav_->ok() ? &*wav_ : nullptr;
        if (heard && written)
            G.sink = &both_.emplace(*heard, *written);
        else if (heard)
            G.sink = heard;
        else if (written)
            G.sink = written;
    }
    ~DesktopSound() {
        game_.sink = &silentSink();
        device_.reset();
        if (wav_ && wav_->ok() && !wav_->finish(game_.clk.delayedMs()))
            std::fputs("gorvenshale: the sound file could not be written in full\n", stderr);
    }
    DesktopSound(const DesktopSound&) = delete;
    DesktopSound& operator=(const DesktopSound&) = delete;

    /// Empty when all is well; else why --sound-wav cannot be had.
    const std::string& error() const { return error_; }

private:
    Game& game_;
    std::string error_;
    std::optional<LiveSound> live_;
    std::optional<WavRecording> wav_;
    std::optional<BothSinks> both_;
    std::unique_ptr<AudioDevice> device_; // last, so that it stops before what it plays
};

} // namespace gs
