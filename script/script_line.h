// The script language of the driver and of recorded games: one command per line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
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
    enum class Kind : std::uint8_t { Blank, Seed, Tick, Play, Set, Dump, Shot, Sound };
    Kind kind = Kind::Blank;
    std::uint32_t seed = 0;
    std::int32_t ticks = 0;
    Command command = Command::Action;
    SetField field = SetField::State;
    std::array<std::int64_t, 3> values{};
    std::string path;                     // of a shot or a sound
    std::int32_t scaleThousandths = 1000; // of a shot
};

// A decimal with at most three places ("2", "1.6", "2.125") in thousandths; none for anything
// else. Scales are written so wherever they are given.
std::optional<std::int64_t> parseThousandths(std::string_view word);

// Blank lines and lines whose first word starts with '#' are Blank. False, with the reason in
// error, for a line that is not a valid command.
bool parseScriptLine(std::string_view line, ScriptLine& parsed, std::string& error);
// The same for a line of a recording, which players send each other: only what play can do
// (seed, tick, the command words). set, dump, shot and sound are refused, so a recording can
// neither write a file nor make a state play cannot reach.
bool parseRecordingLine(std::string_view line, ScriptLine& parsed, std::string& error);

// The word a recording writes for a command: "space", "left", "right" or "pause".
std::string_view commandWord(Command command);
// The command a script word names ("down" is the other word for Action); none for any other word.
std::optional<Command> commandForWord(std::string_view word);

} // namespace plonta
