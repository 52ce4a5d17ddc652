// The whole game record and its rules: state machine, conveyor, paddle, bin and level goals.
#pragma once

#include <array>
#include <cstdint>

#include "game/events.h"
#include "game/random.h"

namespace plonta {

// 0 is an empty cell; 1 to colourCount a colour. The same code picks a tile's brush and pen.
using Tile = std::uint8_t;

enum class GameState : std::uint8_t {
    Ready = 0,
    Running = 1,
    LifeLost = 2,
    GameOver = 3,
    Paused = 4,
    LevelComplete = 5,
};

// One step of play is this long: the programs' timer, and the timeline of recorded sound.
inline constexpr std::uint32_t tickPeriodMs = 250;

inline constexpr int laneCount = 5;
inline constexpr int laneCells = 12;
inline constexpr int spawnLanes = 4; // lane 4 never receives a tile
inline constexpr int binColumns = 5;
inline constexpr int binRows = 5;
inline constexpr int carriedSlots = 3;
inline constexpr int lastLevel = 7;
inline constexpr int goalCount = 8; // indexed by level; index 0 belongs to no level

// What the goal counters count: a catch, or a vanished line by its kind and length.
enum class GoalEvent : std::uint8_t {
    Catch = 0,
    VerticalThree = 1,
    HorizontalThree = 2,
    DiagonalThree = 3,
    VerticalFour = 3, // worth as much as a diagonal three, and counted as one
    HorizontalFour = 4,
    DiagonalFour = 5,
    HorizontalFive = 6,
    DiagonalFive = 7,
};
inline constexpr int goalEventCount = 8;

// Points by GoalEvent; line points are multiplied by the chain depth.
inline constexpr std::array<std::int32_t, goalEventCount> scoreTable{5,   50,  100,  200,
                                                                     400, 800, 1600, 3200};

constexpr std::int32_t pointsFor(GoalEvent event) {
    return scoreTable[static_cast<std::size_t>(event)];
}

// The fixed configuration of a game.
struct Rules {
    std::uint8_t dropsPerLife;
    std::uint8_t startLives;
    std::uint8_t colourCount;
    bool dropNewestFirst;
};

// What every game is played with: 10 lost tiles a life, 5 lives, 5 colours, newest tile first.
inline constexpr Rules standardRules{10, 5, 5, true};

// The paddle's one step along the lanes.
enum class Direction : std::uint8_t { Left, Right };

// The goal description of each level; index 0 is unused.
inline constexpr std::array<const char*, goalCount> goalText{
    " ",
    "Steine Senkrecht",
    "Steine Wagerecht",
    "Steine Diagonal",
    "Steine auffangen",
    "Punkte ereichen",
    "5 Steine Wagerecht",
    "5 Steine Diagonal",
};

// Five lanes of twelve cells, stored lane by lane; cell 0 is the far end, cell 11 the paddle end.
struct Conveyor {
    std::array<Tile, laneCount * laneCells> cells{};

    Tile& at(int lane, int cell) {
        return cells[static_cast<std::size_t>(lane * laneCells + cell)];
    }
    Tile at(int lane, int cell) const {
        return cells[static_cast<std::size_t>(lane * laneCells + cell)];
    }
    void clear() { cells.fill(0); }
};

// Five columns of five cells, stored column by column; row 0 is the top row.
struct Bin {
    std::array<Tile, binColumns * binRows> cells{};

    Tile& at(int column, int row) {
        return cells[static_cast<std::size_t>(column * binRows + row)];
    }
    Tile at(int column, int row) const {
        return cells[static_cast<std::size_t>(column * binRows + row)];
    }
    void clear() { cells.fill(0); }
};

// The player's standing and the paddle with its carried stack (slot 0 holds the oldest tile).
struct Player {
    std::uint8_t lives = 0;
    std::uint8_t level = 0;
    std::uint8_t dropsLeft = 0;
    std::array<std::int32_t, goalCount> goals{};
    std::int32_t score = 0;
    std::uint8_t paddleLane = 0;
    std::uint8_t carriedCount = 0;
    std::array<Tile, carriedSlots> carried{};

    // Pushes a caught tile (lost when the stack is full); 5 points and GoalEvent 0 either way.
    void catchTile(Tile tile, std::int32_t& pointsBaseline);
    // Removes the newest or the oldest carried tile; the stack must not be empty.
    Tile takeCarried(bool newestFirst);
    void resetGoals();
    // Lowers the current level's counter for the events that level counts.
    void countGoalEvent(GoalEvent event, std::int32_t& pointsBaseline);
    void emptyPaddle();
    void addPoints(std::int32_t points);
};

class Game {
  public:
    Game() = default;
    Game(const Game&) = default;
    Game& operator=(const Game&) = default;
    virtual ~Game() = default;

    GameState state = GameState::Ready;
    std::uint8_t dropsPerLife = 0;
    std::uint8_t startLives = 0;
    std::uint8_t colourCount = 0;
    bool dropNewestFirst = false;
    Player player;
    Conveyor conveyor;
    Bin bin;

    // Program-wide values: only construction sets them, never setUp, tryAgain or a new level.
    std::int32_t spawnCounter = 0;
    std::int32_t pointsBaseline = 0;
    RandomSource random;

    // What the steps since the caller last cleared it did; no rule reads it.
    EventLog events;

    // Start-up. The seed is the only outside input: the platform's tick count in play, a
    // chosen value in replays and tests.
    void setUp(const Rules& rules, std::uint32_t seed);

    // One 250 ms step of play.
    void tick();
    // As many ticks as count, with the same result, at a cost that does not grow with a long
    // wait: it stops once play has ended (a tick outside Running changes nothing), and runs the
    // stretch in which only the spawn counter moves as one step. Scripts and recordings are
    // read from outside, and a line of them may ask for 2^31 ticks.
    void advance(std::int32_t count);
    // How many ticks from now change nothing but the spawn counter.
    std::int64_t quietTicks() const;
    // Space or Down: start, drop or try again, by state.
    void action();
    // Paused to Running, any other state to Paused.
    void togglePause();
    // One lane toward lane 0 or lane 4; acts in every state.
    void movePaddle(Direction direction);

  private:
    // The rule tests reach the steps below directly.
    friend struct GameTestAccess;

    void resetPlayer();
    void startPlay();
    void tryAgain();
    void spawnTile();
    void advanceConveyor();
    void loseTile();
    void dropIntoBin(std::uint8_t column, Tile tile);
    void scanBin(std::uint8_t depth);
    void removeLine(int column, int row, int columnStep, int rowStep, int length, GoalEvent event,
                    std::uint8_t depth, bool chains);
    void settleBin();
    bool goalReached() const;
    void completeLevel();
};

} // namespace plonta
