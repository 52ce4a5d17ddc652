// Ranking recordings by replaying them.
#include "frontend/best_games.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "frontend/recording.h"
#include "game/command.h"
#include "game/game.h"

namespace plonta {

bool scoreRecording(std::string_view text, std::int32_t& score, std::uint8_t& level,
                    std::string& error) {
    if (text.size() > maxRecordingBytes) {
        error = "not a recording: larger than " + std::to_string(maxRecordingBytes >> 20) + " MiB";
        return false;
    }
    Recording recording;
    if (!readRecording(text, recording, error)) return false;
    if (recording.cutShortLine != 0) {
        error = "line " + std::to_string(recording.cutShortLine) + " is cut short";
        return false;
    }
    if (recording.steps.empty()) {
        error = "not a recording: it holds no game";
        return false;
    }
    // As plonta-sim plays it: seed 1 until a seed line says otherwise, runs of ticks whole.
    Game game;
    game.setUp(standardRules, 1);
    for (const RecordedStep& step : recording.steps) {
        switch (step.kind) {
        case RecordedStep::Kind::Seed:
            game = Game{};
            game.setUp(standardRules, step.value);
            break;
        case RecordedStep::Kind::Ticks:
            // A short run tick by tick: advance's look for a quiet stretch costs more than a few
            // ticks, and an hour of play is mostly runs of one or two.
            if (step.value <= 4) {
                for (std::uint32_t i = 0; i < step.value; ++i) game.tick();
            } else {
                game.advance(static_cast<std::int32_t>(step.value));
            }
            break;
        case RecordedStep::Kind::Play: applyCommand(game, step.command); break;
        }
        game.events.clear();
    }
    score = game.player.score;
    level = game.player.level;
    return true;
}

bool ranksBefore(const BestGame& a, const BestGame& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.playedAt != b.playedAt) return a.playedAt < b.playedAt;
    return a.name < b.name;
}

bool BestGames::load(DataFolder& folder, std::vector<std::string>& troubles, std::string& error) {
    std::vector<KeptFile> files;
    if (!folder.listGames(files, error)) return false;
    std::map<std::string, Known> known;
    for (const KeptFile& file : files) {
        const auto before = known_.find(file.name);
        if (before != known_.end() && before->second.file == file) {
            known.insert(*before);
            continue;
        }
        Known entry{file, false, BestGame{file.name, file.modified, 0, 0}};
        std::string text;
        std::string why;
        if (folder.readGame(file.name, maxRecordingBytes, text, why))
            entry.replays = scoreRecording(text, entry.game.score, entry.game.level, why);
        // Told once a run, and again only when the file changed and still does not replay.
        if (!entry.replays)
            troubles.push_back("plonta: " + folder.gamePath(file.name) + ": " + why +
                               "; left out of the best games");
        known.emplace(file.name, std::move(entry));
    }
    known_ = std::move(known);
    ranked_.clear();
    for (const auto& [name, entry] : known_)
        if (entry.replays) ranked_.push_back(entry.game);
    std::sort(ranked_.begin(), ranked_.end(), ranksBefore);
    return true;
}

std::span<const BestGame> BestGames::table() const {
    return std::span(ranked_).first(std::min(ranked_.size(), bestGamesKept));
}

bool BestGames::wouldEnter(std::int32_t score) const {
    // A game played now is later than every kept one: it passes those it outscores.
    return score > 0 &&
           (ranked_.size() < bestGamesKept || score > ranked_[bestGamesKept - 1].score);
}

int BestGames::enter(DataFolder& folder, const std::string& name, std::string_view recording,
                     std::int32_t score, std::vector<std::string>& troubles, std::string& error) {
    if (!wouldEnter(score)) return 0;
    if (!folder.writeGame(name, recording, error)) return 0;
    if (!load(folder, troubles, error)) return 0;
    // Only recordings that replay are ever removed, and only those the ten pushed out.
    for (std::size_t i = bestGamesKept; i < ranked_.size(); ++i) {
        std::string why;
        if (folder.removeGame(ranked_[i].name, why)) known_.erase(ranked_[i].name);
    }
    if (ranked_.size() > bestGamesKept) ranked_.resize(bestGamesKept);
    const auto found = std::find_if(ranked_.begin(), ranked_.end(),
                                    [&](const BestGame& game) { return game.name == name; });
    return found == ranked_.end() ? 0 : static_cast<int>(found - ranked_.begin()) + 1;
}

namespace {

std::string formatDate(std::int64_t when, const char* format) {
    const auto time = static_cast<std::time_t>(when);
    // One thread: localtime's shared result is ours until the next call.
    const std::tm* local = std::localtime(&time);
    char text[32] = "";
    if (local == nullptr || std::strftime(text, sizeof text, format, local) == 0) return "?";
    return text;
}

} // namespace

std::string screenDate(std::int64_t when) {
    return formatDate(when, "%d.%m.%Y %H:%M");
}

std::string textDate(std::int64_t when) {
    return formatDate(when, "%Y-%m-%d %H:%M");
}

std::string scoresText(std::span<const BestGame> table, const DataFolder& folder) {
    std::string text;
    int rank = 0;
    for (const BestGame& game : table) {
        char row[96];
        std::snprintf(row, sizeof row, "%2d %8d  level %d  %s  ", ++rank,
                      static_cast<int>(game.score), static_cast<int>(game.level),
                      textDate(game.playedAt).c_str());
        text += row + folder.gamePath(game.name) + "\n";
    }
    return text;
}

} // namespace plonta
