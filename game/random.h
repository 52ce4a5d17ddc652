// The one random source of a run: a 32-bit linear congruential generator.
#pragma once

#include <cstdint>

namespace plonta {

struct RandomSource {
    std::uint32_t state = 0;

    void seedRandom(std::uint32_t seed) { state = seed; }
    // Returns 0 to 32767: bits 16 to 30 of the advanced state.
    std::int32_t nextRandom() {
        state = state * 214013u + 2531011u;
        return static_cast<std::int32_t>((state >> 16) & 0x7FFFu);
    }
};

} // namespace plonta
