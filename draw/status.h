// The status texts, each rebuilt per frame from its template in a fixed buffer of its own.
#pragma once

#include <array>
#include <cstdint>

#include "draw/frame_texts.h"
#include "game/game.h"

namespace plonta {

// Windows-1252 texts, each ending in a zero byte.
using LivesText = std::array<char, 9>;            // "Leben: X"
using LevelText = std::array<char, 9>;            // "Level: X"
using GoalLineText = std::array<char, 14>;        // "Ziel: 00000 x"
using GoalDescriptionText = std::array<char, 19>; // up to the longest goalText entry
using ScoreText = std::array<char, 9>;            // "00000000"
using DropBarText = std::array<char, 11>;         // ten 0xD8 bar glyphs

LivesText livesText(std::uint8_t lives, Language language = Language::German);
LevelText levelText(std::uint8_t level, Language language = Language::German);
// Five digits for the points goal of level 5, two digits otherwise; "--" without a goal.
GoalLineText goalLineText(std::uint8_t level, const std::array<std::int32_t, goalCount>& goals,
                          Language language = Language::German);
GoalDescriptionText goalDescriptionText(std::uint8_t level, Language language = Language::German);
ScoreText scoreText(std::int32_t score);
// Right-aligned on screen: spaces replace the lost drops from the left.
DropBarText dropBarText(std::uint8_t dropsLeft);

// The byte that GDI's TextOut would show for a digit sum taken in 8 bits.
inline constexpr char digitChar(std::int64_t value) {
    return static_cast<char>(static_cast<std::uint8_t>(48 + (value & 0xFF)));
}

} // namespace plonta
