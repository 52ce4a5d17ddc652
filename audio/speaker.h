// The game's sound on a device: the sounds made once, the mixer, mute, and the device resting
// when nothing has played for a while. Everything here runs on the loop's thread.
#pragma once

#include <memory>
#include <string>

#include "audio/audio_device.h"
#include "audio/mixer.h"
#include "audio/sound_bank.h"
#include "game/events.h"

namespace plonta {

class Speaker {
  public:
    Speaker();
    ~Speaker();
    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    // Opens device, the sounds to be made as first played; false with a one-line reason when the
    // device failed: the game then plays on silently.
    bool start(AudioDevice& device, std::string& failure);
    // The sounds of one step's events, from now.
    void play(const EventLog& events);
    // What is playing stops (paused, minimised).
    void hush();
    void setMuted(bool muted);
    bool muted() const { return mixer_.muted(); }
    // Once a tick: after a tenth of a second with nothing playing the device rests.
    void tick();
    void stop();

  private:
    struct Locked;

    std::unique_ptr<SoundBank> bank_;
    Mixer mixer_{SoundBank::sampleRate};
    AudioDevice* device_ = nullptr;
    bool resting_ = true;
    // Ticks until a device that would not wake is tried again.
    int wakeRetryIn_ = 0;
};

} // namespace plonta
