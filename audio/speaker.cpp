// The game's sound on a device.
#include "audio/speaker.h"

#include "audio/game_sounds.h"
#include "game/game.h"

namespace plonta {

namespace {
// A device that would not wake (its sound server restarting, say) is tried again at a later
// sound, a second on at the earliest.
constexpr int wakeRetryTicks = 1000 / tickPeriodMs;
// A device rests after this much silence: more than it holds queued (some 50 ms), so no sound's
// end is cut off, and little, since an awake device costs CPU for every buffer, silent or not.
constexpr std::uint64_t restAfterFrames = SoundBank::sampleRate / 10;
} // namespace

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
    if (!resting_) return;
    if (wakeRetryIn_ == 0) {
        if (device_->wake()) {
            resting_ = false;
            return;
        }
        wakeRetryIn_ = wakeRetryTicks;
    }
    // Not heard now, so not heard late either when the device wakes.
    const Locked locked(*device_);
    mixer_.stopAll();
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
        device_->rest();
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
    if (wakeRetryIn_ > 0) --wakeRetryIn_;
    if (device_ == nullptr || resting_) return;
    bool quiet = false;
    {
        const Locked locked(*device_);
        quiet = mixer_.idle() && mixer_.idleFrames() >= restAfterFrames;
    }
    if (quiet) {
        resting_ = true;
        device_->rest();
    }
}

void Speaker::stop() {
    if (device_ == nullptr) return;
    device_->close();
    device_ = nullptr;
}

} // namespace plonta
