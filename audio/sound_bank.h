// Every sound of the game, synthesised by our own code into 16-bit mono PCM.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "audio/mixer.h"
#include "game/events.h"

namespace plonta {

enum class Effect : std::uint8_t {
    Catch,
    Drop,
    Missed,
    Blocked,
    LifeLost,
    LevelComplete,
    GameOver
};
inline constexpr std::size_t effectCount = static_cast<std::size_t>(Effect::GameOver) + 1;

class SoundBank {
  public:
    static constexpr std::uint32_t sampleRate = 22050;
    // Chains deeper than this sound like the deepest.
    static constexpr int chainPitches = 6;
    static constexpr int shortestLine = 3;
    static constexpr int longestLine = 5;
    static constexpr std::size_t lineKinds = static_cast<std::size_t>(LineKind::Diagonal) + 1;

    // Room for every sound. Each is made when first asked for, on the one thread that asks:
    // a game hears a few of them, and making them all at start-up cost more CPU than all the
    // sound of ten seconds of play. The same samples on every run.
    SoundBank();
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    Pcm effect(Effect effect) const;
    // A line sounds its kind and length; a deeper chain the same, higher.
    Pcm line(LineKind kind, int length, int depth) const;

  private:
    // Where a sound lies in the samples, and whether it is made yet.
    struct Slot {
        std::size_t start = 0;
        std::size_t count = 0;
        bool made = false;
    };
    static constexpr std::size_t lineLengths = longestLine - shortestLine + 1;
    static constexpr std::size_t lineSounds = lineKinds * lineLengths * chainPitches;

    Slot& lineSlot(LineKind kind, int length, int depth) const;
    std::span<std::int16_t> samples(const Slot& slot) const {
        return {samples_.get() + slot.start, slot.count};
    }

    std::unique_ptr<std::int16_t[]> samples_;
    mutable std::array<Slot, effectCount> effects_{};
    mutable std::array<Slot, lineSounds> lines_{};
};

} // namespace plonta
