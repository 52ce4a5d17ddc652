// The programs' options, parsed the same way on every platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "draw/frame_scale.h"
#include "draw/frame_texts.h"

namespace plonta {

struct CommandLine {
    std::string record;      // --record FILE: write the game being played there
    std::string replay;      // --replay FILE: play a recording back first
    std::uint32_t speed = 1; // --speed N: replay N times as fast, 1 to 16
    // --scale N: 1 to 4, decimals too; none picks a whole one to suit the screen
    std::optional<FrameScale> scale;
    bool mute = false;                // --mute: start with the sound off
    bool marks = false;               // --marks: start with the tile marks on
    std::optional<Language> language; // --lang de|en: the texts' language for this run
    bool scores = false;              // --scores: write the best games as text and exit
    std::string server;               // --server URL: S on the best games sends there
    std::string name;                 // --name NAME: the player's name on the server
    bool help = false;
    bool version = false;
};

inline constexpr std::uint32_t maxReplaySpeed = 16;
inline constexpr std::uint32_t maxScale = 4;

// What a program offers beyond the options every one of them has.
struct OptionSet {
    bool scale = false;
};

// The arguments after the program's name. False, with one line naming the problem in error,
// for an unknown option, a missing or bad value, or an option that needs another.
bool parseCommandLine(const std::vector<std::string_view>& arguments, const OptionSet& offered,
                      CommandLine& parsed, std::string& error);

// The usage lines, and the one-line version, for a program of this name.
std::string usageText(std::string_view program, const OptionSet& offered);
std::string versionText(std::string_view program);

} // namespace plonta
