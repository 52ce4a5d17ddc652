// The per-user data folder a host serves: the best games' recordings and the settings, the only
// files the program keeps between runs. The front end decides what goes there; a host only
// stores it, each file written whole or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plonta {

// The documented files: settings.txt and best/*.sim, nothing else.
inline constexpr char settingsFileName[] = "settings.txt";

// A recording kept among the best games.
struct KeptFile {
    std::string name;          // within the folder of best games
    std::int64_t modified = 0; // seconds since 1970 (UTC): when the game was kept
    std::uint64_t size = 0;

    bool operator==(const KeptFile&) const = default;
};

class DataFolder {
  public:
    virtual ~DataFolder() = default;

    // The settings file's text; false, with the reason, when it cannot be read. A missing file
    // reads as empty and is no failure.
    virtual bool readSettings(std::string& text, std::string& error) = 0;
    // The settings file becomes text, whole, or stays as it was.
    virtual bool writeSettings(std::string_view text, std::string& error) = 0;

    // The recordings (*.sim) among the best games; none and no failure while the folder is
    // missing.
    virtual bool listGames(std::vector<KeptFile>& files, std::string& error) = 0;
    // A recording's bytes, at most limit + 1 of them.
    virtual bool readGame(const std::string& name, std::size_t limit, std::string& text,
                          std::string& error) = 0;
    // A new recording, written whole (the folders made first when needed) or not at all.
    virtual bool writeGame(const std::string& name, std::string_view text, std::string& error) = 0;
    virtual bool removeGame(const std::string& name, std::string& error) = 0;
    // Where a recording lies, as the player would type it.
    virtual std::string gamePath(const std::string& name) const = 0;
};

} // namespace plonta
