// SDL2's audio device, fed by the mixer on SDL's audio thread.
#include "audio/sdl/sdl_audio.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace plonta {

namespace {
// 512 frames at 22050 Hz: 23 ms a buffer, well inside the 50 ms from event to sound.
constexpr Uint16 bufferFrames = 512;

// alsa-lib writes its own lines to standard error when it finds no card; the player is to see
// one line about the sound at most, ours.
class QuietStderr {
  public:
    QuietStderr() : saved_(dup(STDERR_FILENO)) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int saved_;
};

const SdlAudioCalls realCalls{SDL_InitSubSystem,    SDL_QuitSubSystem,    SDL_OpenAudioDevice,
                              SDL_CloseAudioDevice, SDL_PauseAudioDevice, SDL_LockAudioDevice,
                              SDL_UnlockAudioDevice};

} // namespace

const SdlAudioCalls& sdlAudioCalls() {
    return realCalls;
}

SdlAudio::~SdlAudio() {
    close();
}

bool SdlAudio::open(Mixer& mixer, std::string& failure) {
    const QuietStderr quiet;
    if (calls_.initSubSystem(SDL_INIT_AUDIO) != 0) {
        failure = SDL_GetError();
        return false;
    }
    started_ = true;
    mixer_ = &mixer;
    // Opened once now, so that a missing device is told at the start; it then rests closed
    // until the first sound.
    if (!openDevice(failure)) {
        close();
        return false;
    }
    rest();
    return true;
}

bool SdlAudio::openDevice(std::string& failure) {
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(mixer_->sampleRate());
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = bufferFrames;
    wanted.callback = &SdlAudio::pull;
    wanted.userdata = mixer_;
    // SDL converts to whatever the device takes; the mixer always makes this format.
    device_ = calls_.openAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device_ == 0) failure = SDL_GetError();
    return device_ != 0;
}

void SdlAudio::pull(void* mixer, Uint8* stream, int bytes) {
    static_cast<Mixer*>(mixer)->mix(reinterpret_cast<std::int16_t*>(stream),
                                    static_cast<std::size_t>(bytes) / sizeof(std::int16_t));
}

void SdlAudio::lock() {
    if (device_ != 0) calls_.lockAudioDevice(device_);
}

void SdlAudio::unlock() {
    if (device_ != 0) calls_.unlockAudioDevice(device_);
}

void SdlAudio::rest() {
    // A paused SDL device goes on streaming silence from its thread: resting closes it.
    if (device_ != 0) calls_.closeAudioDevice(device_);
    device_ = 0;
}

bool SdlAudio::wake() {
    if (device_ != 0) return true;
    if (mixer_ == nullptr) return false;
    // The player has heard about the sound once at most, at the start: a device that will not
    // open again says nothing, and alsa-lib nothing either.
    const QuietStderr quiet;
    std::string failure;
    if (!openDevice(failure)) return false;
    calls_.pauseAudioDevice(device_, 0);
    return true;
}

void SdlAudio::close() {
    if (device_ != 0) calls_.closeAudioDevice(device_);
    device_ = 0;
    if (started_) calls_.quitSubSystem(SDL_INIT_AUDIO);
    started_ = false;
}

} // namespace plonta
