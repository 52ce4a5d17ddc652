// The best games: the ten highest scores, each the recording of its game in the data folder,
// ranked by what the recordings replay to with the rules, never by a number kept beside them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/data_folder.h"

namespace plonta {

inline constexpr std::size_t bestGamesKept = 10;

struct BestGame {
    std::string name;          // the recording, within the data folder
    std::int64_t playedAt = 0; // seconds since 1970: when it was kept
    std::int32_t score = 0;
    std::uint8_t level = 0;

    bool operator==(const BestGame&) const = default;
};

// What a recording's moves make: the score and level its last game reaches, as plonta-sim
// plays it. False, with the reason, for text that is no whole recording.
bool scoreRecording(std::string_view text, std::int32_t& score, std::uint8_t& level,
                    std::string& error);

// The higher score first; on equal scores the earlier game, then the name, so there is one
// order.
bool ranksBefore(const BestGame& a, const BestGame& b);

class BestGames {
  public:
    // Reads the folder again: recordings not seen before (or changed) are replayed, the others
    // keep what they replayed to. Each file that is no recording is left out, never removed,
    // and named in troubles the first time only.
    bool load(DataFolder& folder, std::vector<std::string>& troubles, std::string& error);
    // Ranked, at most ten.
    std::span<const BestGame> table() const;
    // Whether a game with this score, played now, would take a place.
    bool wouldEnter(std::int32_t score) const;
    // Keeps a game that takes a place: its recording written whole as name, the folder read
    // again (another program may have kept games meanwhile) and the recordings ranked below the
    // tenth removed. Returns its place from 1, or 0 when it takes none or writing failed (error
    // then says why).
    int enter(DataFolder& folder, const std::string& name, std::string_view recording,
              std::int32_t score, std::vector<std::string>& troubles, std::string& error);

  private:
    struct Known {
        KeptFile file;
        bool replays = false;
        BestGame game;
    };
    std::map<std::string, Known> known_;
    std::vector<BestGame> ranked_;
};

// The date and time of a moment, in the local time zone: "08.12.2026 22:58" for the screen,
// "2026-12-08 22:58" for text.
std::string screenDate(std::int64_t when);
std::string textDate(std::int64_t when);

// The table as --scores writes it: a row a line, with the recording's path.
std::string scoresText(std::span<const BestGame> table, const DataFolder& folder);

} // namespace plonta
