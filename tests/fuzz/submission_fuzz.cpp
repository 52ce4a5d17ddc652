// libFuzzer target: any bytes as a submitted game and as a player's name, checked as the server
// checks them, against the programs' own ranking of a recording.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "frontend/best_games.h"
#include "server/submission.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto never = std::chrono::steady_clock::time_point::max();
    plonta::ReplayedGame game;
    std::string error;
    const plonta::ReplayOutcome outcome = plonta::replaySubmission(text, never, game, error);
    if (outcome == plonta::ReplayOutcome::TooSlow) __builtin_trap();
    if (outcome == plonta::ReplayOutcome::Refused) {
        if (error.empty() || error.size() > 200) __builtin_trap();
    } else {
        // The server ranks a game as the programs' best games do.
        std::int32_t score = 0;
        std::uint8_t level = 0;
        if (!plonta::scoreRecording(text, score, level, error) || score != game.score ||
            level != game.level)
            __builtin_trap();
        // The steps that tell games apart are a recording of the same game.
        plonta::ReplayedGame again;
        if (plonta::replaySubmission(game.steps, never, again, error) !=
                plonta::ReplayOutcome::Replayed ||
            again.steps != game.steps || again.score != game.score || again.level != game.level)
            __builtin_trap();
    }
    std::string name;
    if (plonta::checkName(text, name, error)) {
        if (name.empty() || name.size() > 4 * plonta::maxNameCharacters) __builtin_trap();
        for (const char c : name)
            if (static_cast<unsigned char>(c) < 0x20) __builtin_trap();
    }
    return 0;
}
