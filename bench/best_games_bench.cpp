// The best games: reading ten hour-long games from a real data folder, as a start does after its
// first frame, and how many files the folder holds after a thousand games.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "frontend/best_games.h"
#include "game/command.h"
#include "game/game.h"
#include "shell/posix/posix_data_folder.h"

namespace {

// The folder goes where TMPDIR says, so the disk measured can be chosen.
std::filesystem::path scratchFolder(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    const std::filesystem::path path = std::filesystem::path(dir != nullptr ? dir : "/tmp") / name;
    std::filesystem::remove_all(path);
    return path;
}

// Up to an hour of play (14400 ticks) by a simple player: under each tile about to arrive, and
// each carried tile dropped where its colour is on top, else on the lowest column. A lost life
// is taken up again at once. The game's own rules say how long it lasts.
std::string hourLongGame(std::uint32_t seed, int& ticksPlayed) {
    std::string text = "# recorded by plonta 1.0.0\nseed " + std::to_string(seed) + "\n";
    plonta::Game game;
    game.setUp(plonta::standardRules, seed);
    std::int32_t run = 0;
    const auto command = [&](plonta::Command given, const char* word) {
        if (run > 0) text += "tick " + std::to_string(run) + "\n";
        run = 0;
        plonta::applyCommand(game, given);
        text += word;
        text += '\n';
    };
    const auto moveTo = [&](int lane) {
        while (game.player.paddleLane < lane) command(plonta::Command::PaddleRight, "right");
        while (game.player.paddleLane > lane) command(plonta::Command::PaddleLeft, "left");
    };
    command(plonta::Command::Action, "space");
    for (ticksPlayed = 0; ticksPlayed < 14400 && game.state != plonta::GameState::GameOver;
         ++ticksPlayed) {
        if (game.state == plonta::GameState::LifeLost) command(plonta::Command::Action, "space");
        if (game.state == plonta::GameState::Running && game.player.carriedCount > 0) {
            const plonta::Tile tile = game.player.carried[game.player.carriedCount - 1u];
            int best = 0;
            int bestRank = 1000;
            for (int column = 0; column < plonta::binColumns; ++column) {
                int height = 0;
                plonta::Tile top = 0;
                for (int row = plonta::binRows - 1; row >= 0; --row)
                    if (game.bin.at(column, row) != 0) {
                        ++height;
                        top = game.bin.at(column, row);
                    }
                const int rank = height >= plonta::binRows ? 999 : height - (top == tile ? 10 : 0);
                if (rank < bestRank) bestRank = rank, best = column;
            }
            moveTo(best);
            command(plonta::Command::Action, "space");
        }
        for (int lane = 0; lane < plonta::laneCount; ++lane)
            if (game.conveyor.at(lane, plonta::laneCells - 2) != 0) moveTo(lane);
        game.tick();
        game.events.clear();
        ++run;
    }
    if (run > 0) text += "tick " + std::to_string(run) + "\n";
    return text;
}

void BM_LoadTenHourLongGames(benchmark::State& state) {
    const std::filesystem::path root = scratchFolder("plonta_best_games_bench");
    plonta::PosixDataFolder folder(root.string());
    std::string error;
    int ticks = 0;
    int shortest = 14400;
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        folder.writeGame("game" + std::to_string(seed) + ".sim", hourLongGame(seed, ticks), error);
        shortest = std::min(shortest, ticks);
    }
    state.counters["shortestGameTicks"] = shortest;
    for (auto _ : state) {
        plonta::BestGames best;
        std::vector<std::string> troubles;
        best.load(folder, troubles, error);
        benchmark::DoNotOptimize(best.table().size());
    }
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_LoadTenHourLongGames)->Unit(benchmark::kMillisecond);

// The folder after a thousand games that each enter, the later ones scoring more.
void BM_ThousandGamesKept(benchmark::State& state) {
    const std::filesystem::path root = scratchFolder("plonta_thousand_games_bench");
    std::size_t files = 0;
    for (auto _ : state) {
        plonta::PosixDataFolder folder(root.string());
        plonta::BestGames best;
        std::vector<std::string> troubles;
        std::string error;
        best.load(folder, troubles, error);
        for (int game = 1; game <= 1000; ++game) {
            const std::string text = "seed " + std::to_string(game) + "\nspace\ntick 200\n";
            std::int32_t score = 0;
            std::uint8_t level = 0;
            plonta::scoreRecording(text, score, level, error);
            best.enter(folder, std::to_string(game) + ".sim", text, score, troubles, error);
        }
        files = static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(root / "best"), {}));
    }
    state.counters["files"] = static_cast<double>(files);
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_ThousandGamesKept)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
