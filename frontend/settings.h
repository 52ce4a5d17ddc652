// What the player set that comes back at the next start: the mute, fullscreen, the tile marks
// and the language. The file is
// read forgivingly and rewritten keeping every line it does not own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "draw/frame_texts.h"

namespace plonta {

inline constexpr int settingsVersion = 1;

struct Settings {
    bool mute = false;
    bool fullscreen = false;
    bool marks = false;
    // None until the player chooses one.
    std::optional<Language> language;

    bool operator==(const Settings&) const = default;
};

// What the text says; a line that cannot be read, an unknown key or a bad value leaves its
// setting as it was.
Settings readSettings(std::string_view text);

// The file's new text with these settings: every other line kept as it was, garbage and keys of
// other versions included. None for a file written by a newer version, which is left alone.
std::optional<std::string> updateSettings(std::string_view text, const Settings& settings);

} // namespace plonta
