// Voices summed and held inside 16 bits by a limiter.
#include "audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace plonta {

namespace {
constexpr float limit = 32000.0f;
// The limiter's gain recovers with this time constant.
constexpr float releaseSeconds = 0.05f;
} // namespace

Mixer::Mixer(std::uint32_t sampleRate)
    : sampleRate_(sampleRate),
      release_(1.0f - std::exp(-1.0f / (releaseSeconds * static_cast<float>(sampleRate)))) {}

void Mixer::play(Pcm sound, std::uint32_t delay) {
    if (sound.empty()) return;
    Voice* chosen = &voices_[0];
    for (Voice& voice : voices_) {
        if (!voice.active()) {
            chosen = &voice;
            break;
        }
        if (voice.sound.size() - voice.position < chosen->sound.size() - chosen->position)
            chosen = &voice;
    }
    *chosen = Voice{sound, 0, delay};
    idleFrames_ = 0;
}

void Mixer::stopAll() {
    for (Voice& voice : voices_) voice = Voice{};
}

bool Mixer::idle() const {
    return std::none_of(voices_.begin(), voices_.end(), [](const Voice& v) { return v.active(); });
}

void Mixer::mix(std::int16_t* out, std::size_t frames) {
    // Silence, the most of what a device pulls, without a look at each voice for each frame; the
    // limiter recovers as it would have frame by frame.
    if (idle()) {
        std::fill_n(out, frames, std::int16_t{0});
        idleFrames_ += frames;
        gain_ = 1.0f - (1.0f - gain_) * std::pow(1.0f - release_, static_cast<float>(frames));
        return;
    }
    for (std::size_t i = 0; i < frames; ++i) {
        std::int32_t sum = 0;
        int sounding = 0;
        bool waiting = false;
        for (Voice& voice : voices_) {
            if (!voice.active()) continue;
            if (voice.delay > 0) {
                --voice.delay;
                waiting = true;
                continue;
            }
            sum += voice.sound[voice.position++];
            ++sounding;
        }
        idleFrames_ = sounding > 0 || waiting ? 0 : idleFrames_ + 1;
        const float loudest = static_cast<float>(sounding * soundPeak);
        const float target = loudest > limit ? limit / loudest : 1.0f;
        if (target < gain_)
            gain_ = target;
        else
            gain_ += (target - gain_) * release_;
        const float level = static_cast<float>(sum) * gain_;
        out[i] = muted_ ? std::int16_t{0} : toSample(level);
    }
}

} // namespace plonta
