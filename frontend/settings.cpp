// The settings file: "key=value" lines, a version line, comments kept.
#include "frontend/settings.h"

#include <array>
#include <charconv>

namespace plonta {

namespace {

struct Line {
    std::string_view key;
    std::string_view value;
};

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A "key=value" line; none for comments, blank lines and garbage.
std::optional<Line> parse(std::string_view line) {
    line = trimmed(line);
    const auto equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string_view::npos) return std::nullopt;
    return Line{trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))};
}

// Calls each(line) for every line, the last one without a line end included.
template <typename Each> void forEachLine(std::string_view text, Each each) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        each(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::optional<bool> flag(std::string_view value) {
    if (value == "1" || value == "on") return true;
    if (value == "0" || value == "off") return false;
    return std::nullopt;
}

int versionOf(std::string_view value) {
    int version = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), version);
    // A version that cannot be read is treated as a newer one: nothing in it is ours to change.
    return ec == std::errc{} && end == value.data() + value.size() ? version : settingsVersion + 1;
}

// A setting's line: its key, how its value reads and how it is written.
struct Owned {
    const char* key;
    void (*read)(std::string_view value, Settings& settings);
    std::string (*written)(const Settings& settings);
};

template <bool Settings::*field> void readFlag(std::string_view value, Settings& settings) {
    if (const std::optional<bool> read = flag(value)) settings.*field = *read;
}
template <bool Settings::*field> std::string writtenFlag(const Settings& settings) {
    return settings.*field ? "1" : "0";
}
void readLanguage(std::string_view value, Settings& settings) {
    if (const std::optional<Language> language = languageOfCode(value))
        settings.language = *language;
}
std::string writtenLanguage(const Settings& settings) {
    return settings.language ? std::string(languageCode(*settings.language)) : std::string();
}

constexpr std::array<Owned, 4> ownedKeys{{
    {"mute", readFlag<&Settings::mute>, writtenFlag<&Settings::mute>},
    {"fullscreen", readFlag<&Settings::fullscreen>, writtenFlag<&Settings::fullscreen>},
    {"marks", readFlag<&Settings::marks>, writtenFlag<&Settings::marks>},
    {"lang", readLanguage, writtenLanguage},
}};

// Nothing for a setting that has no value.
std::string ownedLine(const Owned& owned, const Settings& settings) {
    const std::string value = owned.written(settings);
    return value.empty() ? std::string() : std::string(owned.key) + "=" + value + "\n";
}

} // namespace

Settings readSettings(std::string_view text) {
    Settings settings;
    forEachLine(text, [&](std::string_view raw) {
        const std::optional<Line> line = parse(raw);
        if (!line) return;
        for (const Owned& owned : ownedKeys)
            if (line->key == owned.key) owned.read(line->value, settings);
    });
    return settings;
}

std::optional<std::string> updateSettings(std::string_view text, const Settings& settings) {
    std::string updated;
    std::array<bool, ownedKeys.size()> written{};
    bool newer = false;
    bool versioned = false;
    forEachLine(text, [&](std::string_view raw) {
        const std::optional<Line> line = parse(raw);
        if (line && line->key == "version") {
            versioned = true;
            newer = newer || versionOf(line->value) > settingsVersion;
        }
        for (std::size_t i = 0; i < ownedKeys.size(); ++i) {
            if (!line || line->key != ownedKeys[i].key || written[i]) continue;
            const std::string own = ownedLine(ownedKeys[i], settings);
            // A setting without a value leaves its line as it was.
            if (own.empty()) break;
            written[i] = true;
            updated += own;
            return;
        }
        updated += raw;
        updated += '\n';
    });
    if (newer) return std::nullopt;
    if (!versioned)
        updated.insert(0, "# Plonta's settings\nversion=" + std::to_string(settingsVersion) + "\n");
    for (std::size_t i = 0; i < ownedKeys.size(); ++i)
        if (!written[i]) updated += ownedLine(ownedKeys[i], settings);
    return updated;
}

} // namespace plonta
