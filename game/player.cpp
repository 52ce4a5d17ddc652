// The Player's own operations: the carried stack and the goal accounting.
#include <cassert>

#include "game/game.h"
#include "game/wrapping.h"

namespace plonta {

namespace {

constexpr std::uint8_t bit(GoalEvent event) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(event));
}

// Which GoalEvents lower the counter of each level; level 5 counts points instead. Level 1
// counts horizontal threes too, although its goal text names vertical lines only.
constexpr std::array<std::uint8_t, goalCount> countedEvents{
    0,
    bit(GoalEvent::VerticalThree) | bit(GoalEvent::HorizontalThree),
    bit(GoalEvent::HorizontalThree) | bit(GoalEvent::HorizontalFour) |
        bit(GoalEvent::HorizontalFive),
    bit(GoalEvent::DiagonalThree) | bit(GoalEvent::DiagonalFour) | bit(GoalEvent::DiagonalFive),
    bit(GoalEvent::Catch),
    0,
    bit(GoalEvent::HorizontalFive),
    bit(GoalEvent::DiagonalFive),
};

constexpr int pointsLevel = 5;

} // namespace

void Player::addPoints(std::int32_t points) {
    score = wrappingAdd(score, points);
}

void Player::emptyPaddle() {
    carriedCount = 0;
    carried.fill(0);
}

void Player::catchTile(Tile tile, std::int32_t& pointsBaseline) {
    for (std::size_t slot = 0; slot < carried.size(); ++slot) {
        if (carried[slot] == 0) {
            carried[slot] = tile;
            carriedCount = static_cast<std::uint8_t>(slot + 1);
            break;
        }
    }
    // A full stack loses the tile but the catch still scores and counts.
    addPoints(pointsFor(GoalEvent::Catch));
    countGoalEvent(GoalEvent::Catch, pointsBaseline);
}

Tile Player::takeCarried(bool newestFirst) {
    assert(carriedCount >= 1 && carriedCount <= carriedSlots);
    Tile tile = 0;
    if (newestFirst) {
        tile = carried[carriedCount - 1u];
        carried[carriedCount - 1u] = 0;
    } else {
        tile = carried[0];
        carried[0] = carried[1];
        carried[1] = carried[2];
        carried[2] = 0;
    }
    --carriedCount;
    return tile;
}

void Player::resetGoals() {
    goals = {0, 5, 5, 5, 40, 1000, 5, 3};
}

void Player::countGoalEvent(GoalEvent event, std::int32_t& pointsBaseline) {
    if (level < 1 || level > lastLevel) return;
    if (level == pointsLevel) {
        // The first event only fixes the baseline; later ones take the score's rise since then.
        if (pointsBaseline < 1) pointsBaseline = score;
        const std::int32_t gained = wrappingSub(score, pointsBaseline);
        goals[pointsLevel] = wrappingSub(goals[pointsLevel], gained);
        pointsBaseline = wrappingAdd(pointsBaseline, gained);
        return;
    }
    if ((countedEvents[level] & bit(event)) != 0) {
        goals[level] = wrappingSub(goals[level], 1);
    }
}

} // namespace plonta
