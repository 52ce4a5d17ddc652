// The sound device on Linux: an SDL2 audio device whose callback pulls from the mixer.
#pragma once

#include <SDL.h>

#include "audio/audio_device.h"

namespace plonta {

// Every SDL call the device makes, so that a test can stand in for SDL's audio.
struct SdlAudioCalls {
    int (*initSubSystem)(Uint32 flags);
    void (*quitSubSystem)(Uint32 flags);
    SDL_AudioDeviceID (*openAudioDevice)(const char* name, int capture, const SDL_AudioSpec* wanted,
                                         SDL_AudioSpec* obtained, int allowedChanges);
    void (*closeAudioDevice)(SDL_AudioDeviceID device);
    void (*pauseAudioDevice)(SDL_AudioDeviceID device, int paused);
    void (*lockAudioDevice)(SDL_AudioDeviceID device);
    void (*unlockAudioDevice)(SDL_AudioDeviceID device);
};

// The real SDL functions.
const SdlAudioCalls& sdlAudioCalls();

class SdlAudio final : public AudioDevice {
  public:
    explicit SdlAudio(const SdlAudioCalls& calls = sdlAudioCalls()) : calls_(calls) {}
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // SDL's audio, then a device at the mixer's rate with a buffer of some 23 ms, closed
    // whenever it rests.
    bool open(Mixer& mixer, std::string& failure) override;
    void lock() override;
    void unlock() override;
    void rest() override;
    bool wake() override;
    void close() override;

  private:
    static void pull(void* mixer, Uint8* stream, int bytes);
    bool openDevice(std::string& failure);

    const SdlAudioCalls& calls_;
    Mixer* mixer_ = nullptr;
    bool started_ = false;
    SDL_AudioDeviceID device_ = 0;
};

} // namespace plonta
