#include "frontend/sdl/audio.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

namespace gs {

namespace {

/// The open device, for the window's mute key; the window's thread holds the lock while it
/// uses the device, so that the device cannot go while a key reaches it.
std::mutex currentLock;
AudioDevice* current = nullptr;

/// Standard error goes nowhere while it lives: the sound systems under SDL (ALSA above
/// all) print their own complaints there when no card is found.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

} // namespace

std::unique_ptr<AudioDevice> AudioDevice::open(int rate, int bufferFrames, Fill fill, Quiet quiet) {
    std::unique_ptr<AudioDevice> d(new AudioDevice(std::move(fill), std::move(quiet)));
    QuietStderr quietly;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    SDL_AudioSpec want{}, have{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 1;
    want.samples = static_cast<Uint16>(bufferFrames);
    want.callback = &AudioDevice::callback;
    want.userdata = d.get();
    d->id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (d->id_ == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    d->frames_ = have.samples;
    d->steering_ = std::thread([p = d.get()] { p->steer(); });
    return d;
}

AudioDevice::~AudioDevice() {
    {
        std::lock_guard<std::mutex> lock(currentLock);
        if (current == this) current = nullptr;
    }
    stop_.store(true);
    wake();
    if (steering_.joinable()) steering_.join();
    if (id_ != 0) {
        QuietStderr quietly;
        SDL_CloseAudioDevice(id_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void AudioDevice::takeWindowKeys() {
    std::lock_guard<std::mutex> lock(currentLock);
    current = this;
}

void AudioDevice::wake() {
    wakes_.fetch_add(1, std::memory_order_release);
    wakes_.notify_one();
}

void AudioDevice::callback(void* self, std::uint8_t* stream, int bytes) {
    auto& d = *static_cast<AudioDevice*>(self);
    auto* out = reinterpret_cast<float*>(stream);
    const auto frames = static_cast<std::size_t>(bytes) / sizeof(float);
    const bool more = d.fill_(out, frames);
    if (d.muted()) std::memset(stream, 0, static_cast<std::size_t>(bytes));
    // All is quiet: the steering thread pauses the device.
    if (!more) d.wake();
}

void AudioDevice::steer() {
    // The device plays only while something sounds. A paused SDL device still hands
    // silence to the sound system buffer by buffer; held locked here as well, its thread
    // sleeps on the lock, so a game waiting at a prompt costs the machine nothing. SDL
    // starts a device paused.
    bool playing = true;
    for (;;) {
        const std::uint32_t seen = wakes_.load(std::memory_order_acquire);
        if (stop_.load()) break;
        const bool wanted = !quiet_();
        if (wanted && !playing) {
            SDL_UnlockAudioDevice(id_);
            SDL_PauseAudioDevice(id_, 0);
        } else if (!wanted && playing) {
            SDL_PauseAudioDevice(id_, 1);
            SDL_LockAudioDevice(id_);
        }
        playing = wanted;
        wakes_.wait(seen, std::memory_order_acquire);
    }
    if (!playing) SDL_UnlockAudioDevice(id_);
    SDL_PauseAudioDevice(id_, 1);
}

bool soundKey(const SDL_Event& e) {
    if (e.type != SDL_KEYDOWN) return false;
    std::lock_guard<std::mutex> lock(currentLock);
    AudioDevice* d = current;
    if (!d) return false;
    const SDL_Keysym k = e.key.keysym;
    if ((k.mod & KMOD_CTRL) && k.sym == SDLK_m) {
        d->setMuted(!d->muted());
        return true;
    }
    switch (k.sym) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
    case SDLK_LCTRL:
    case SDLK_RCTRL:
    case SDLK_LALT:
    case SDLK_RALT:
    case SDLK_LGUI:
    case SDLK_RGUI:
    case SDLK_CAPSLOCK: return false; // a key held with others is no key typed
    default: break;
    }
    if (d->onKey && !(k.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI))) d->onKey();
    return false;
}

} // namespace gs
