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

struct Owned {
    const char* key;
    bool Settings::*field;
};
constexpr std::array<Owned, 2> ownedKeys{
    {{"mute", &Settings::mute}, {"fullscreen", &Settings::fullscreen}}};

} // namespace

Settings readSettings(std::string_view text) {
    Settings settings;
    forEachLine(text, [&](std::string_view raw) {
        const std::optional<Line> line = parse(raw);
        if (!line) return;
        for (const Owned& owned : ownedKeys)
            if (line->key == owned.key)
                if (const std::optional<bool> value = flag(line->value))
                    settings.*owned.field = *value;
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
            written[i] = true;
            updated += std::string(ownedKeys[i].key) + "=" +
                       (settings.*ownedKeys[i].field ? "1" : "0") + "\n";
            return;
        }
        updated += raw;
        updated += '\n';
    });
    if (newer) return std::nullopt;
    if (!versioned)
        updated.insert(0, "# Plonta's settings\nversion=" + std::to_string(settingsVersion) + "\n");
    for (std::size_t i = 0; i < ownedKeys.size(); ++i)
        if (!written[i])
            updated += std::string(ownedKeys[i].key) + "=" +
                       (settings.*ownedKeys[i].field ? "1" : "0") + "\n";
    return updated;
}

} // namespace plonta
