// The sound device on Linux: an SDL2 audio device whose callback pulls from the mixer.
#pragma once

#include <SDL.h>

#include "audio/audio_device.h"

namespace plonta {

class SdlAudio final : public AudioDevice {
  public:
    SdlAudio() = default;
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // SDL's audio, then a device at the mixer's rate with a buffer of some 23 ms, closed
    // whenever it rests.
    bool open(Mixer& mixer, std::string& failure) override;
    void lock() override;
    void unlock() override;
    void rest(bool resting) override;
    void close() override;

  private:
    static void pull(void* mixer, Uint8* stream, int bytes);
    bool openDevice(std::string& failure);

    Mixer* mixer_ = nullptr;
    bool started_ = false;
    SDL_AudioDeviceID device_ = 0;
};

} // namespace plonta
