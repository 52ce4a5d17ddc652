// The driver's script language: one command per line, run against one Game.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "draw/cairo_canvas.h"
#include "draw/frame.h"
#include "game/game.h"

namespace plonta {

// Compact JSON of every field a replay needs, in a fixed key order.
std::string dumpGame(const Game& game);

class ScriptRunner {
  public:
    ScriptRunner();

    // Runs one line; on bad input returns false with the reason in error and changes nothing.
    bool runLine(std::string_view line, std::ostream& out, std::string& error);
    // Runs every line; returns the exit status (0, or 2 after the first bad line).
    int runScript(std::istream& in, std::ostream& out, std::ostream& err);

    const Game& game() const { return game_; }
    const FrameDrawer& drawer() const { return drawer_; }

  private:
    bool runCommand(const std::vector<std::string_view>& words, std::ostream& out,
                    std::string& error);
    bool runSet(const std::vector<std::string_view>& words, std::string& error);
    // Draws the current frame and writes it as a PNG file.
    bool shot(std::string_view path, std::string& error);
    void reset(std::uint32_t seed);

    Game game_;
    // The window's client area, as the real program draws it.
    CairoCanvas canvas_;
    FrameDrawer drawer_;
};

} // namespace plonta
