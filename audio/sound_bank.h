// Every sound of the game, synthesised once at start-up by our own code into 16-bit mono PCM.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

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

    // Renders every sound; the same samples on every run.
    SoundBank();
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    Pcm effect(Effect effect) const;
    // A line sounds its kind and length; a deeper chain the same, higher.
    Pcm line(LineKind kind, int length, int depth) const;

  private:
    struct Range {
        std::size_t start = 0;
        std::size_t count = 0;
    };
    static constexpr std::size_t lineLengths = longestLine - shortestLine + 1;
    static constexpr std::size_t lineSounds = lineKinds * lineLengths * chainPitches;

    Pcm view(Range range) const { return Pcm(samples_).subspan(range.start, range.count); }

    std::vector<std::int16_t> samples_;
    std::array<Range, effectCount> effects_{};
    std::array<Range, lineSounds> lines_{};
};

} // namespace plonta
