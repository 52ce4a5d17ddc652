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
    const char* bestLevel;    // one %d
    const char* bestHintSend; // the hint with the key that sends
    const char* sending;
    const char* sent;    // one %d, the server's rank
    const char* refused; // the server's reason goes on the line below
    const char* noAnswer;
};

inline constexpr FrameTexts germanTexts{
    "Leben: X",
    "Level: X",
    "Ziel: 00000 x",
    goalText,
    "Start mit Leertaste.",
    "Sie haben zu viele Steine Fallen gelassen!",
    "Noch einmal Probieren?",
    "S P I E L   E N D E",
    "P A U S E",
    "Platz %d in der Bestenliste!",
    "B E S T E N L I S T E",
    "Noch keine Spiele.",
    "Leertaste: ansehen    H: zur\xFC"
    "ck",
    "Level: %d",
    "Leertaste: ansehen  S: senden  H: zur\xFC"
    "ck",
    "Wird gesendet ...",
    "Gesendet: Platz %d auf dem Server",
    "Vom Server abgelehnt:",
    "Der Server antwortet nicht.",
};

// Each fits the frame where the German text stands, in the same font; the status templates
// are as long as the German ones.
inline constexpr FrameTexts englishTexts{
    "Lives: X",
    "Level: X",
    "Goal: 00000 x",
    {" ", "Vertical lines", "Horizontal lines", "Diagonal lines", "Catch tiles", "Reach the points",
     "5 tiles across", "5 tiles diagonal"},
    "Press Space to start.",
    "You have dropped too many tiles!",
    "Try again?",
    "G A M E   O V E R",
    "P A U S E",
    "Number %d in the best games!",
    "B E S T   G A M E S",
    "No games yet.",
    "Space: watch    H: back",
    "Level: %d",
    "Space: watch  S: send  H: back",
    "Sending ...",
    "Sent: number %d on the server",
    "Refused by the server:",
    "The server does not answer.",
};

constexpr const FrameTexts& textsFor(Language language) {
    return language == Language::English ? englishTexts : germanTexts;
}

// "de" and "en", as options, settings and the page name them.
std::string_view languageCode(Language language);
std::optional<Language> languageOfCode(std::string_view code);

} // namespace plonta
