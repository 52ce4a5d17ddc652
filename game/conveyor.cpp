// The spawner, the conveyor's advance with its catch and miss, and the paddle's movement.
#include "game/game.h"

#include <algorithm>

namespace plonta {

namespace {
constexpr std::int32_t spawnInterval = 10;
}

void Game::spawnTile() {
    // "At least" rather than "exactly": a count that passed 10 while no tile could spawn
    // (allowance spent) must not stop the spawner for good after a try-again.
    if (spawnCounter < spawnInterval) return;
    const auto colour = static_cast<Tile>(random.nextRandom() % colourCount + 1);
    const int lane = random.nextRandom() % spawnLanes;
    conveyor.at(lane, 0) = colour;
    spawnCounter = 0;
}

std::int64_t Game::quietTicks() const {
    // A tick in play with the allowance left, nothing on the belt and the goal still open
    // spawns nothing before the counter reaches the interval.
    if (state != GameState::Running || player.dropsLeft == 0 || player.lives == 0 || goalReached())
        return 0;
    for (const Tile tile : conveyor.cells)
        if (tile != 0) return 0;
    return std::max<std::int64_t>(0, std::int64_t{spawnInterval} - 1 - spawnCounter);
}

void Game::advanceConveyor() {
    int arrivedLane = -1;
    for (int lane = 0; lane < laneCount; ++lane) {
        for (int cell = laneCells - 1; cell >= 1; --cell) {
            conveyor.at(lane, cell) = conveyor.at(lane, cell - 1);
        }
        conveyor.at(lane, 0) = 0;
        // Only one tile can arrive per tick in play; should two, the highest lane wins.
        if (conveyor.at(lane, laneCells - 1) != 0) arrivedLane = lane;
    }
    if (arrivedLane < 0) return;
    if (player.paddleLane == arrivedLane) {
        if (player.carriedCount == carriedSlots)
            events.add({.kind = EventKind::TileLost, .loss = TileLoss::PaddleFull});
        else
            events.add({.kind = EventKind::TileCaught, .lane = player.paddleLane});
        // Cell 11 keeps the tile; the next advance overwrites it.
        player.catchTile(conveyor.at(arrivedLane, laneCells - 1), pointsBaseline);
    } else {
        events.add({.kind = EventKind::TileLost, .loss = TileLoss::Missed});
        loseTile();
    }
}

void Game::loseTile() {
    if (player.dropsLeft == 0) return;
    --player.dropsLeft;
    // The life goes at once; leaving Running waits for the next tick.
    if (player.dropsLeft == 0 && player.lives > 0) {
        --player.lives;
        events.add({.kind = EventKind::LifeLost, .lives = player.lives});
    }
}

void Game::movePaddle(Direction direction) {
    if (direction == Direction::Right) {
        if (player.paddleLane < laneCount - 1) ++player.paddleLane;
    } else if (player.paddleLane > 0) {
        --player.paddleLane;
    }
}

} // namespace plonta
