// The game's sound on the page. The game's events wait in the queue until the page is next
// brought up to date (before every pause and key wait, just before the frame that shows
// them); then the same synthesiser as the desktop's renders each into samples that the
// page's audio plays. The browser mixes them on its own audio thread, through the same
// limiter: the game holds the page's thread for up to 50 ms at a time, too long for
// samples mixed there to flow without gaps. The shell's whistle, steered all through its
// flight, is the page's oscillator, given its pitch from the same table.
#pragma once

#include <emscripten.h>

#include <vector>

#include "frontend/web/web_page.h"
#include "program/options.h"
#include "sound/event_queue.h"
#include "sound/mixer.h"
#include "state/game.h"

// clang-format off
EM_JS(void, gs_sound_setup, (int on, int clicks, const float* curve, int points,
                             const float* click, int clickLength, int rate), {
    Module.gsSound.setup(on, clicks, HEAPF32.slice(curve >> 2, (curve >> 2) + points),
                         HEAPF32.slice(click >> 2, (click >> 2) + clickLength), rate);
});
EM_JS(int, gs_sound_listening, (), { return Module.gsSound.listening() ? 1 : 0; });
EM_JS(void, gs_sound_play, (const float* samples, int length), {
    Module.gsSound.play(HEAPF32.subarray(samples >> 2, (samples >> 2) + length));
});
EM_JS(void, gs_sound_steer, (int wave, double hz, double volume, double attackMs,
                             double lengthMs), {
    Module.gsSound.steer(wave, hz, volume, attackMs, lengthMs);
});
// clang-format on

namespace gs {

class WebSound : public SoundSink {
public:
    /// Points of the limiter's curve the page's wave shaper takes, over -LIMIT_SPAN..LIMIT_SPAN.
    static constexpr int CURVE_POINTS = 2049;
    static constexpr float LIMIT_SPAN = 4;

    WebSound(const Options& o, Game& G) : game_(G) {
        std::vector<float> curve(CURVE_POINTS);
        for (int i = 0; i < CURVE_POINTS; ++i)
            curve[i] = Mixer::limit(LIMIT_SPAN * (2.0f * i / (CURVE_POINTS - 1) - 1));
        const std::vector<float> click = render(SoundEvent{0, Sound::KeyClick, 0, 0});
        gs_sound_setup(soundHeard(o), o.keyClicks, curve.data(), CURVE_POINTS, click.data(),
                       static_cast<int>(click.size()), SAMPLE_RATE);
        G.sink = this;
        WebPage::get().onShow = [this] { handOver(); };
    }
    ~WebSound() override {
        WebPage::get().onShow = nullptr;
        game_.sink = &silentSink();
    }
    WebSound(const WebSound&) = delete;
    WebSound& operator=(const WebSound&) = delete;

    void play(const SoundEvent& e) override { queue_.push(e); }

private:
    static std::vector<float> render(SoundEvent e) {
        Mixer m;
        m.start(e);
        std::vector<float> out;
        float block[512];
        while (m.sounding()) {
            m.mix(block, 512);
            out.insert(out.end(), block, block + 512);
        }
        return out;
    }

    void handOver() {
        // A muted page, or one whose audio has not started yet, drops what waits.
        const bool listening = gs_sound_listening();
        while (auto e = queue_.pop()) {
            if (!listening) continue;
            const SoundShape& s = shapeOf(e->sound);
            if (s.hzPerValue > 0) {
                gs_sound_steer(static_cast<int>(s.wave), Mixer::followedPitch(e->sound, e->value),
                               s.volume, s.attackMs, e->lengthMs ? e->lengthMs : s.lengthMs);
                continue;
            }
            const std::vector<float> samples = render(*e);
            gs_sound_play(samples.data(), static_cast<int>(samples.size()));
        }
    }

    Game& game_;
    EventQueue<1024> queue_;
};

} // namespace gs
