// Set-up, the tick and the commands that move the Game between its states.
#include "game/game.h"

#include <algorithm>

#include "game/wrapping.h"

namespace plonta {

namespace {
constexpr std::int32_t emptyCellBonus = 50;
constexpr std::uint8_t startLane = 2;
} // namespace

void Game::setUp(const Rules& rules, std::uint32_t seed) {
    dropsPerLife = rules.dropsPerLife;
    startLives = rules.startLives;
    colourCount = rules.colourCount;
    dropNewestFirst = rules.dropNewestFirst;
    resetPlayer();
    conveyor.clear();
    bin.clear();
    random.seedRandom(seed);
    state = GameState::Ready;
}

void Game::resetPlayer() {
    player.dropsLeft = dropsPerLife;
    player.paddleLane = startLane;
    player.score = 0;
    player.level = 1;
    player.lives = startLives;
    player.emptyPaddle();
    player.resetGoals();
}

void Game::tick() {
    if (state == GameState::Running) {
        // Counted before the allowance is looked at, also on the tick that ends the life.
        spawnCounter = wrappingAdd(spawnCounter, 1);
        if (player.dropsLeft > 0 && player.lives > 0) {
            spawnTile();
            advanceConveyor();
        } else if (player.lives == 0) {
            state = GameState::GameOver;
        } else {
            state = GameState::LifeLost;
        }
        // A reached goal wins over a lost life or a lost game in the same tick.
        if (goalReached()) state = GameState::LevelComplete;
        if (state == GameState::GameOver) events.add({.kind = EventKind::GameOver});
    }
    if (state == GameState::LevelComplete) completeLevel();
}

void Game::advance(std::int32_t count) {
    std::int64_t left = count;
    while (left > 0) {
        // LevelComplete never outlasts its tick; anything else but Running ignores ticks.
        if (state != GameState::Running && state != GameState::LevelComplete) return;
        const std::int64_t quiet = std::min(quietTicks(), left);
        if (quiet > 0) {
            spawnCounter += static_cast<std::int32_t>(quiet);
            left -= quiet;
        } else {
            tick();
            --left;
        }
    }
}

bool Game::goalReached() const {
    if (player.level < 1 || player.level > lastLevel) return false;
    return player.goals[player.level] < 1;
}

void Game::completeLevel() {
    conveyor.clear();
    player.emptyPaddle();
    for (Tile& cell : bin.cells) {
        if (cell == 0) player.addPoints(emptyCellBonus);
        cell = 0;
    }
    state = GameState::Running;
    events.add({.kind = EventKind::LevelCompleted, .level = player.level});
    ++player.level;
    if (player.level == lastLevel + 1) {
        state = GameState::GameOver;
        events.add({.kind = EventKind::GameOver});
    }
}

void Game::action() {
    switch (state) {
    case GameState::Ready: startPlay(); break;
    case GameState::Running: {
        if (player.carriedCount == 0) return;
        const Tile tile = player.takeCarried(dropNewestFirst);
        events.add({.kind = EventKind::TileDropped, .lane = player.paddleLane});
        dropIntoBin(player.paddleLane, tile);
        // Runs after every drop, landed or lost; on a settled bin it finds nothing.
        scanBin(1);
        break;
    }
    case GameState::LifeLost: tryAgain(); break;
    default: break;
    }
}

void Game::startPlay() {
    state = GameState::Running;
}

void Game::tryAgain() {
    // The spent allowance already took a life; confirming the try takes another.
    if (player.lives > 0) {
        --player.lives;
        events.add({.kind = EventKind::LifeLost, .lives = player.lives});
    }
    player.dropsLeft = dropsPerLife;
    conveyor.clear();
    bin.clear();
    player.emptyPaddle();
    state = GameState::Running;
}

void Game::togglePause() {
    state = state == GameState::Paused ? GameState::Running : GameState::Paused;
    events.add({.kind = state == GameState::Paused ? EventKind::Paused : EventKind::Resumed});
}

} // namespace plonta
