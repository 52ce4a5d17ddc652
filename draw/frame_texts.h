// Every text the frame shows, one table per language: German is the game's own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "game/game.h"

namespace plonta {

enum class Language : std::uint8_t { German, English };

// Windows-1252 texts. The status templates keep their digits where the German ones have
// them, so the status buffers fit every language.
struct FrameTexts {
    const char* lives;                        // "X" at the digit position
    const char* level;                        // "X" at the digit position
    const char* goal;                         // "00000 x" from the goal digits on
    std::array<const char*, goalCount> goals; // index 0 belongs to no level
    const char* start;
    const char* lost;
    const char* again;
    const char* gameOver;
    const char* pause;
    const char* place; // one %d
    const char* bestTitle;
    const char* bestEmpty;
    const char* bestHint;
    const char* bestLevel; // one %d
};

const FrameTexts& textsFor(Language language);

// "de" and "en", as options, settings and the page name them.
std::string_view languageCode(Language language);
std::optional<Language> languageOfCode(std::string_view code);

} // namespace plonta
