// The frame's texts in German and English.
#include "draw/frame_texts.h"

namespace plonta {

namespace {

constexpr FrameTexts german{
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
};

// Each fits the frame where the German text stands, in the same font; the status templates
// are as long as the German ones.
constexpr FrameTexts english{
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
};

} // namespace

const FrameTexts& textsFor(Language language) {
    return language == Language::English ? english : german;
}

std::string_view languageCode(Language language) {
    return language == Language::English ? "en" : "de";
}

std::optional<Language> languageOfCode(std::string_view code) {
    if (code == "de") return Language::German;
    if (code == "en") return Language::English;
    return std::nullopt;
}

} // namespace plonta
