// The script language of the driver and of recorded games: one command per line.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "game/command.h"
#include "game/game.h"

namespace plonta {

// The fields "set" can write.
enum class SetField : std::uint8_t {
    State,
    Lives,
    Level,
    DropsLeft,
    Score,
    PaddleLane,
    Goal,
    Bin,
    Conveyor,
    Carried,
    SpawnCounter,
    PointsBaseline,
    Random,
};

// One line, checked: every number is in range, so running it cannot fail.
struct ScriptLine {
    enum class Kind : std::uint8_t { Blank, Seed, Tick, Play, Set, Dump, Shot };
    Kind kind = Kind::Blank;
    std::uint32_t seed = 0;
    std::int32_t ticks = 0;
    Command command = Command::Action;
    SetField field = SetField::State;
    std::array<std::int64_t, 3> values{};
    std::string path; // of a shot
    std::int32_t scale = 1;
};

// Blank lines and lines whose first word starts with '#' are Blank. False, with the reason in
// error, for a line that is not a valid command.
bool parseScriptLine(std::string_view line, ScriptLine& parsed, std::string& error);
// The same for a line of a recording, which players send each other: only what play can do
// (seed, tick, the command words). set, dump and shot are refused, so a recording can neither
// write a file nor make a state play cannot reach.
bool parseRecordingLine(std::string_view line, ScriptLine& parsed, std::string& error);

// Writes a parsed "set" into the game.
void applySet(Game& game, const ScriptLine& line);

// Compact JSON of every field a replay needs, in a fixed key order.
std::string dumpGame(const Game& game);

// Runs scripts against one game. A script without a seed line plays seed 1.
class ScriptRunner {
  public:
    static constexpr std::uint32_t defaultSeed = 1;

    ScriptRunner();
    virtual ~ScriptRunner() = default;

    // Runs one line; on bad input returns false with the reason in error and changes nothing.
    bool runLine(std::string_view line, std::ostream& out, std::string& error);
    // Runs every line; returns the exit status (0, or 2 after the first bad line, reported on
    // err as "NAME: line N: reason").
    int runScript(std::istream& in, std::ostream& out, std::ostream& err,
                  std::string_view name = "plonta-sim");
    // A checked line.
    bool run(const ScriptLine& line, std::ostream& out, std::string& error);

    const Game& game() const { return game_; }

  protected:
    // A new game was set up; the window shows its first frame.
    virtual void gameStarted() {}
    // The window now shows the game after drawing frames more frames: one per tick and one per
    // command but the pause, which shows at the next tick. A set shows at once, with no frame.
    virtual void framesShown(std::int32_t /*frames*/) {}
    // Draws the frame into a file; this runner has no drawing.
    virtual bool shot(const std::string& path, std::int32_t scale, std::string& error);

  private:
    void startGame(std::uint32_t seed);

    Game game_;
};

} // namespace plonta
