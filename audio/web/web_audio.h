// The sound device in the browser: a Web Audio context whose processor pulls from the mixer on
// the page's one thread. Browsers let it play only after a key press, so the first one starts it.
#pragma once

#include <array>
#include <cstdint>

#include "audio/audio_device.h"

namespace plonta {

class WebAudio final : public AudioDevice {
  public:
    WebAudio() = default;
    ~WebAudio() override;
    WebAudio(const WebAudio&) = delete;
    WebAudio& operator=(const WebAudio&) = delete;

    bool open(Mixer& mixer, std::string& failure) override;
    // The processor runs on the page's thread, between the game's steps: nothing to keep out.
    void lock() override {}
    void unlock() override {}
    void rest() override;
    bool wake() override;
    void close() override;

    // The processor's call: the next frames into the buffer it reads, as many as it holds;
    // returns how many.
    int mix(int frames);

  private:
    // What the processor asks for each time: 23 ms.
    static constexpr int bufferFrames = 512;

    Mixer* mixer_ = nullptr;
    std::array<std::int16_t, bufferFrames> buffer_{};
    bool open_ = false;
};

} // namespace plonta
