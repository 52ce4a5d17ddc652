// The whole game record and its rules: state machine, conveyor, paddle, bin and level goals.
#pragma once

#include <array>
#include <cstdint>

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

inline constexpr int laneCount = 5;
inline constexpr int laneCells = 12;
inline constexpr int spawnLanes = 4; // lane 4 never receives a tile
inline constexpr int binColumns = 5;
inline constexpr int binRows = 5;
inline constexpr int carriedSlots = 3;
inline constexpr int lastLevel = 7;
inline constexpr int goalCount = 8; // indexed by level; index 0 belongs to no level

// Points by GoalEvent code; line points are multiplied by the chain depth.
inline constexpr std::array<std::int32_t, goalCount> scoreTable{5,   50,  100,  200,
                                                                  400, 800, 1600, 3200};

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

    Tile& at(int lane, int cell) { return cells[static_cast<std::size_t>(lane * laneCells + cell)]; }
    Tile at(int lane, int cell) const {
        return cells[static_cast<std::size_t>(lane * laneCells + cell)];
    }
    void clear() { cells.fill(0); }
};

// Five columns of five cells, stored column by column; row 0 is the top row.
struct Bin {
    std::array<Tile, binColumns * binRows> cells{};

    Tile& at(int column, int row) { return cells[static_cast<std::size_t>(column * binRows + row)]; }
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
    // Removes the newest (flag non-zero) or the oldest carried tile; the stack must not be empty.
    Tile takeCarried(std::uint8_t newestFirst);
    void resetGoals();
    // Lowers the current level's counter for the events that level counts.
    void countGoalEvent(std::uint8_t code, std::int32_t& pointsBaseline);
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
    std::uint8_t dropNewestFirst = 0;
    Player player;
    Conveyor conveyor;
    Bin bin;

    // Program-wide values: only construction sets them, never setUp, tryAgain or a new level.
    std::int32_t spawnCounter = 0;
    std::int32_t pointsBaseline = 0;
    RandomSource random;

    // Start-up, seeded from the platform's millisecond tick count.
    void setUp(std::uint8_t dropsPerLife, std::uint8_t startLives, std::uint8_t colourCount,
               std::uint8_t dropNewestFirst);
    // Start-up with a chosen seed, for replays and tests.
    void setUp(std::uint8_t dropsPerLife, std::uint8_t startLives, std::uint8_t colourCount,
               std::uint8_t dropNewestFirst, std::uint32_t seed);

    // One 250 ms step of play.
    void tick();
    // Space or Down: start, drop or try again, by state.
    void action();
    // Paused to Running, any other state to Paused.
    void togglePause();
    // Non-zero moves toward lane 4, zero toward lane 0; acts in every state.
    void movePaddle(std::uint8_t towardLane4);

    void resetPlayer();
    void startPlay();
    void tryAgain();
    void spawnTile();
    void advanceConveyor();
    void dropIntoBin(std::uint8_t column, Tile tile);
    void scanBin(std::uint8_t depth);
    void settleBin();
    bool goalReached() const;
    void completeLevel();

  private:
    void loseTile();
    void removeLine(int column, int row, int columnStep, int rowStep, int length,
                    std::uint8_t code, std::uint8_t depth, bool chains);
};

} // namespace plonta
