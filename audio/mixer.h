// The mixer: several sounds at once into one mono 16-bit stream, the one place mute applies. It
// allocates nothing once made, so a device thread may pull from it under a lock.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

namespace plonta {

using Pcm = std::span<const std::int16_t>;

// No sound the mixer plays goes beyond this level: the synthesiser scales every sound to it.
inline constexpr std::int16_t soundPeak = 22937;

// The nearest sample, halves away from zero as std::lround has them, without its library call
// or a branch the sign of a wave would keep mispredicting: the synthesiser and the mixer round
// every sample.
inline std::int16_t toSample(float level) {
    return static_cast<std::int16_t>(level + std::copysign(0.5f, level));
}

// What hears the sounds of the game: a mixer, or a track written down for later.
class SoundSink {
  public:
    virtual ~SoundSink() = default;
    // Starts sound after delay frames; the sound's samples must outlive its playing.
    virtual void play(Pcm sound, std::uint32_t delay = 0) = 0;
    virtual void stopAll() = 0;
};

class Mixer final : public SoundSink {
  public:
    static constexpr std::size_t voiceCount = 8;

    explicit Mixer(std::uint32_t sampleRate);

    // With every voice busy the one nearest its end gives way.
    void play(Pcm sound, std::uint32_t delay = 0) override;
    void stopAll() override;
    // The next frames of the mix. Voices that together could pass 16 bits are turned down
    // before they can, never cut off.
    void mix(std::int16_t* out, std::size_t frames);

    // Muted, voices run on unheard, so unmuting never replays what has passed.
    void setMuted(bool muted) { muted_ = muted; }
    bool muted() const { return muted_; }
    // No voice is playing or waiting to.
    bool idle() const;
    // Frames mixed since the mixer last had a voice; a device rests after a while of them.
    std::uint64_t idleFrames() const { return idleFrames_; }
    std::uint32_t sampleRate() const { return sampleRate_; }

  private:
    struct Voice {
        Pcm sound;
        std::size_t position = 0;
        std::uint32_t delay = 0;
        bool active() const { return position < sound.size(); }
    };

    std::uint32_t sampleRate_;
    std::array<Voice, voiceCount> voices_{};
    bool muted_ = false;
    // The limiter's gain: drops at once when a voice starts, so even every voice at its peak
    // stays in range, and comes back slowly when voices end.
    float gain_ = 1.0f;
    float release_;
    std::uint64_t idleFrames_ = 0;
};

} // namespace plonta
