// The languages' codes.
#include "draw/frame_texts.h"

namespace plonta {

std::string_view languageCode(Language language) {
    return language == Language::English ? "en" : "de";
}

std::optional<Language> languageOfCode(std::string_view code) {
    if (code == "de") return Language::German;
    if (code == "en") return Language::English;
    return std::nullopt;
}

} // namespace plonta
