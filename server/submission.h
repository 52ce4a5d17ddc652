// What a submitted game is worth: its recording checked and replayed as plonta-sim plays it,
// and the player's name checked, with the small escaping the answers need.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plonta {

// Larger bodies are refused unread: four hours of play take well under this.
inline constexpr std::size_t maxSubmissionBytes = std::size_t{1} << 20;
// Four hours of play at four ticks a second; only ticks that move the game count.
inline constexpr std::int64_t maxPlayedTicks = std::int64_t{4} * 60 * 60 * 4;
inline constexpr std::size_t maxNameCharacters = 24;

struct ReplayedGame {
    std::int32_t score = 0;
    std::uint8_t level = 0;
    std::int64_t playedTicks = 0;
    // The game without what changes nothing (comments, line ends, ticks outside play): two
    // recordings with the same steps are the same game.
    std::string steps;
};

enum class ReplayOutcome : std::uint8_t { Replayed, Refused, TooSlow };

// Replays a recording; Refused with the reason in error for a body that is not one or plays
// too long, TooSlow when the replay was still running at deadline.
ReplayOutcome replaySubmission(std::string_view text,
                               std::chrono::steady_clock::time_point deadline, ReplayedGame& game,
                               std::string& error);

// The name trimmed of surrounding spaces: 1 to maxNameCharacters characters of valid UTF-8,
// none of them a control or a direction override. False with the reason in error otherwise.
bool checkName(std::string_view raw, std::string& name, std::string& error);

// A JSON string literal, quotes included; the text must be UTF-8.
std::string jsonQuoted(std::string_view text);
// Text safe in HTML content and quoted attributes.
std::string htmlEscaped(std::string_view text);

} // namespace plonta
