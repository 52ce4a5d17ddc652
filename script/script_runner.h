// Running scripts against one game: the driver's loop, with hooks for the frames it draws.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "game/game.h"
#include "script/script_line.h"

namespace plonta {

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
    // A step just ran: ticks ticks (0 for a command); game().events holds what the last of them
    // did. Ticks that may do something come one at a time, so each event has its own tick.
    virtual void stepped(std::int32_t /*ticks*/) {}
    // Draws the frame into a file; this runner has no drawing.
    virtual bool shot(const std::string& path, std::int32_t scaleThousandths, std::string& error);
    // Writes the game's sound so far into a file; this runner makes no sound.
    virtual bool sound(const std::string& path, std::string& error);

  private:
    void startGame(std::uint32_t seed);
    void tick(std::int32_t ticks);

    Game game_;
};

} // namespace plonta
