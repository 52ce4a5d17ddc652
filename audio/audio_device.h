// What a sound device backend is to the portable code: it pulls the mixer's frames on its own
// thread, and rests when told.
#pragma once

#include <string>

#include "audio/mixer.h"

namespace plonta {

class AudioDevice {
  public:
    virtual ~AudioDevice() = default;
    // Opens the device, resting, to pull from mixer at its rate; false with a one-line reason
    // when there is none or it fails.
    virtual bool open(Mixer& mixer, std::string& failure) = 0;
    // Between lock and unlock the device's thread keeps out of the mixer.
    virtual void lock() = 0;
    virtual void unlock() = 0;
    // A resting device pulls nothing and costs nothing.
    virtual void rest() = 0;
    // Plays from the mixer again; false when the device would not: it is then still resting.
    virtual bool wake() = 0;
    // Safe twice, and without open.
    virtual void close() = 0;
};

} // namespace plonta
