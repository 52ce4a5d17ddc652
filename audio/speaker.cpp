// The game's sound on a device.
#include "audio/speaker.h"

#include "audio/game_sounds.h"

namespace plonta {

// The mixer, with the device's thread kept out for the scope.
struct Speaker::Locked {
    explicit Locked(AudioDevice& device) : device_(device) { device_.lock(); }
    ~Locked() { device_.unlock(); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    AudioDevice& device_;
};

Speaker::Speaker() = default;

Speaker::~Speaker() {
    stop();
}

bool Speaker::start(AudioDevice& device, std::string& failure) {
    if (!bank_) bank_ = std::make_unique<SoundBank>();
    if (!device.open(mixer_, failure)) {
        device.close();
        return false;
    }
    device_ = &device;
    resting_ = true;
    return true;
}

void Speaker::play(const EventLog& events) {
    // Muted, the device may rest: nothing started now is to be heard.
    if (device_ == nullptr || events.size() == 0 || mixer_.muted()) return;
    {
        const Locked locked(*device_);
        playEvents(events, *bank_, mixer_);
        if (mixer_.idle()) return;
    }
    if (resting_) {
        resting_ = false;
        device_->rest(false);
    }
}

void Speaker::hush() {
    if (device_ == nullptr) return;
    {
        const Locked locked(*device_);
        mixer_.stopAll();
    }
    // Minimised, no tick comes to let the device rest: it rests now.
    if (!resting_) {
        resting_ = true;
        device_->rest(true);
    }
}

void Speaker::setMuted(bool muted) {
    if (device_ == nullptr) {
        mixer_.setMuted(muted);
        return;
    }
    const Locked locked(*device_);
    // What was started muted is not played after unmuting.
    mixer_.stopAll();
    mixer_.setMuted(muted);
}

void Speaker::tick() {
    if (device_ == nullptr || resting_) return;
    bool quiet = false;
    {
        const Locked locked(*device_);
        quiet = mixer_.idle() && mixer_.idleFrames() >= mixer_.sampleRate();
    }
    if (quiet) {
        resting_ = true;
        device_->rest(true);
    }
}

void Speaker::stop() {
    if (device_ == nullptr) return;
    device_->close();
    device_ = nullptr;
}

} // namespace plonta
