// Costs of the rules: one running tick, the costliest drop found, and whole random games.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "game/game.h"

namespace {

using plonta::Game;
using plonta::GameState;
using plonta::Tile;

Game runningGame(std::uint32_t seed) {
    Game game;
    game.setUp(plonta::standardRules, seed);
    game.action();
    return game;
}

void BM_Tick(benchmark::State& state) {
    Game game = runningGame(1);
    for (auto _ : state) {
        // Keep the allowance topped up so every tick does the full running work.
        game.player.dropsLeft = 10;
        game.player.lives = 5;
        game.tick();
        benchmark::DoNotOptimize(game);
    }
}
BENCHMARK(BM_Tick);

// A line-free bin where one tile (3 into column 1) sets off about a dozen lines, found by a
// search over random bins for the drop that removes the most tiles.
Game chainGame() {
    Game game = runningGame(1);
    const char* rows[] = {"3.312", "14412", "2114.", "32212", ".3312"};
    for (int row = 0; row < plonta::binRows; ++row)
        for (int column = 0; column < plonta::binColumns; ++column) {
            const char c = rows[row][column];
            game.bin.at(column, row) = c == '.' ? Tile{0} : static_cast<Tile>(c - '0');
        }
    game.player.carried = {3, 0, 0};
    game.player.carriedCount = 1;
    game.player.paddleLane = 1;
    return game;
}

void BM_CostliestDrop(benchmark::State& state) {
    const Game prepared = chainGame();
    for (auto _ : state) {
        Game game = prepared;
        game.action();
        benchmark::DoNotOptimize(game);
    }
    Game game = prepared;
    game.action();
    state.counters["points"] = game.player.score;
}
BENCHMARK(BM_CostliestDrop);

// The copy of the prepared game alone, to subtract from the drop.
void BM_CostliestDropSetUpOnly(benchmark::State& state) {
    const Game prepared = chainGame();
    for (auto _ : state) {
        Game game = prepared;
        benchmark::DoNotOptimize(game);
    }
}
BENCHMARK(BM_CostliestDropSetUpOnly);

// Random commands (half of them ticks) from the start until the game is over.
void BM_WholeRandomGame(benchmark::State& state) {
    std::uint32_t seed = 1;
    std::int64_t commands = 0;
    for (auto _ : state) {
        Game game = runningGame(seed);
        std::uint32_t x = seed++ * 2654435761u | 1u;
        while (game.state != GameState::GameOver) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            switch (x & 7u) {
            case 0: game.action(); break;
            case 1: game.movePaddle(plonta::Direction::Left); break;
            case 2: game.movePaddle(plonta::Direction::Right); break;
            default: game.tick(); break;
            }
            if (game.state == GameState::LifeLost) game.action();
            ++commands;
        }
        benchmark::DoNotOptimize(game);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["commands/game"] =
        benchmark::Counter(static_cast<double>(commands), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WholeRandomGame);

} // namespace

BENCHMARK_MAIN();
