// Parsing and running script lines, and the state dump.
#include "game/script.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <limits>
#include <ostream>
#include <vector>

namespace plonta {

namespace {

constexpr std::int64_t maxTicks = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t maxTileCode = 7; // the codes that have drawing objects
constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t uint32Max = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t byteMax = 255;
constexpr std::int64_t maxShotScale = 4; // as the Linux program's --scale

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSpace(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSpace(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// Shortens what a message quotes, so a huge token cannot flood the error stream.
std::string quoted(std::string_view word) {
    constexpr std::size_t limit = 40;
    std::string text(word.substr(0, limit));
    if (word.size() > limit) text += "...";
    return "'" + text + "'";
}

bool parseNumber(std::string_view word, std::int64_t min, std::int64_t max, std::string_view what,
                 std::int64_t& value, std::string& error) {
    std::int64_t parsed = 0;
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, parsed);
    if (ec == std::errc::invalid_argument || ptr != end) {
        error = std::string(what) + ": " + quoted(word) + " is not a number";
        return false;
    }
    if (ec == std::errc::result_out_of_range || parsed < min || parsed > max) {
        error = std::string(what) + ": " + quoted(word) + " is outside " + std::to_string(min) +
                " to " + std::to_string(max);
        return false;
    }
    value = parsed;
    return true;
}

// The words after the first one: exactly count of them. name is what a message calls the line.
bool expectArguments(std::string_view name, std::size_t given, std::size_t count,
                     std::string& error) {
    if (given == count) return true;
    error = std::string(name) + (given < count ? ": missing argument" : ": too many arguments") +
            " (expects " + std::to_string(count) + ")";
    return false;
}

struct Range {
    std::int64_t min;
    std::int64_t max;
    const char* what;
};

struct FieldSyntax {
    std::string_view name;
    SetField field;
    std::vector<Range> ranges;
};

const std::vector<FieldSyntax>& setFields() {
    static const std::vector<FieldSyntax> fields{
        {"state", SetField::State, {{0, 5, "state"}}},
        {"lives", SetField::Lives, {{0, byteMax, "lives"}}},
        {"level", SetField::Level, {{1, lastLevel + 1, "level"}}},
        {"dropsLeft", SetField::DropsLeft, {{0, byteMax, "dropsLeft"}}},
        {"score", SetField::Score, {{int32Min, int32Max, "score"}}},
        {"paddleLane", SetField::PaddleLane, {{0, laneCount - 1, "paddleLane"}}},
        {"goal", SetField::Goal, {{1, lastLevel, "level"}, {int32Min, int32Max, "value"}}},
        {"bin",
         SetField::Bin,
         {{0, binColumns - 1, "column"}, {0, binRows - 1, "row"}, {0, maxTileCode, "tile"}}},
        {"conveyor",
         SetField::Conveyor,
         {{0, laneCount - 1, "lane"}, {0, laneCells - 1, "cell"}, {0, maxTileCode, "tile"}}},
        {"carried",
         SetField::Carried,
         {{0, maxTileCode, "slot 1"}, {0, maxTileCode, "slot 2"}, {0, maxTileCode, "slot 3"}}},
        {"spawnCounter", SetField::SpawnCounter, {{int32Min, int32Max, "spawnCounter"}}},
        {"pointsBaseline", SetField::PointsBaseline, {{int32Min, int32Max, "pointsBaseline"}}},
        {"random", SetField::Random, {{0, uint32Max, "random"}}},
    };
    return fields;
}

bool parseSet(const std::vector<std::string_view>& words, ScriptLine& parsed, std::string& error) {
    if (words.size() < 2) {
        error = "set: missing field name";
        return false;
    }
    const std::string_view name = words[1];
    const FieldSyntax* syntax = nullptr;
    for (const FieldSyntax& candidate : setFields())
        if (candidate.name == name) syntax = &candidate;
    if (syntax == nullptr) {
        error = "set: unknown field " + quoted(name);
        return false;
    }
    const std::string line = "set " + std::string(name);
    if (!expectArguments(line, words.size() - 2, syntax->ranges.size(), error)) return false;
    for (std::size_t i = 0; i < syntax->ranges.size(); ++i) {
        const Range& range = syntax->ranges[i];
        // A one-value field is named once: "set lives", not "set lives lives".
        const std::string what =
            syntax->ranges.size() == 1 ? line : line + " " + std::string(range.what);
        if (!parseNumber(words[i + 2], range.min, range.max, what, parsed.values[i], error))
            return false;
    }
    const auto& v = parsed.values;
    // The stack holds its tiles in the leading slots, with no gap.
    if (syntax->field == SetField::Carried &&
        ((v[0] == 0 && v[1] != 0) || (v[1] == 0 && v[2] != 0))) {
        error = "set carried: a tile after an empty slot";
        return false;
    }
    parsed.kind = ScriptLine::Kind::Set;
    parsed.field = syntax->field;
    return true;
}

template <typename Array> void appendArray(std::string& json, const Array& values) {
    json += '[';
    bool first = true;
    for (const auto value : values) {
        if (!first) json += ',';
        first = false;
        json += std::to_string(static_cast<std::int64_t>(value));
    }
    json += ']';
}

} // namespace

bool parseScriptLine(std::string_view line, ScriptLine& parsed, std::string& error) {
    parsed = ScriptLine{};
    const std::vector<std::string_view> words = splitWords(line);
    if (words.empty() || words[0].front() == '#') return true;
    const std::string_view name = words[0];
    const std::size_t given = words.size() - 1;
    std::int64_t value = 0;
    if (name == "seed") {
        if (!expectArguments(name, given, 1, error) ||
            !parseNumber(words[1], 0, uint32Max, "seed", value, error))
            return false;
        parsed.kind = ScriptLine::Kind::Seed;
        parsed.seed = static_cast<std::uint32_t>(value);
    } else if (name == "tick") {
        value = 1;
        if (given > 1) return expectArguments(name, given, 1, error);
        if (given == 1 && !parseNumber(words[1], 0, maxTicks, "tick", value, error)) return false;
        parsed.kind = ScriptLine::Kind::Tick;
        parsed.ticks = static_cast<std::int32_t>(value);
    } else if (const std::optional<Command> command = commandForWord(name)) {
        if (!expectArguments(name, given, 0, error)) return false;
        parsed.kind = ScriptLine::Kind::Play;
        parsed.command = *command;
    } else if (name == "dump") {
        if (!expectArguments(name, given, 0, error)) return false;
        parsed.kind = ScriptLine::Kind::Dump;
    } else if (name == "set") {
        return parseSet(words, parsed, error);
    } else if (name == "shot") {
        // The scale is optional: a file alone is a shot at scale 1.
        if (!expectArguments(name, given, std::clamp<std::size_t>(given, 1, 2), error))
            return false;
        if (given == 2 && !parseNumber(words[2], 1, maxShotScale, "shot scale", value, error))
            return false;
        parsed.kind = ScriptLine::Kind::Shot;
        parsed.path = std::string(words[1]);
        parsed.scale = given == 2 ? static_cast<std::int32_t>(value) : 1;
    } else {
        error = "unknown command " + quoted(name);
        return false;
    }
    return true;
}

void applySet(Game& game, const ScriptLine& line) {
    Player& p = game.player;
    const auto& v = line.values;
    const auto byte = [](std::int64_t x) { return static_cast<std::uint8_t>(x); };
    const auto int32 = [](std::int64_t x) { return static_cast<std::int32_t>(x); };
    switch (line.field) {
    case SetField::State: game.state = static_cast<GameState>(v[0]); break;
    case SetField::Lives: p.lives = byte(v[0]); break;
    case SetField::Level: p.level = byte(v[0]); break;
    case SetField::DropsLeft: p.dropsLeft = byte(v[0]); break;
    case SetField::Score: p.score = int32(v[0]); break;
    case SetField::PaddleLane: p.paddleLane = byte(v[0]); break;
    case SetField::Goal: p.goals[static_cast<std::size_t>(v[0])] = int32(v[1]); break;
    case SetField::Bin: game.bin.at(int32(v[0]), int32(v[1])) = byte(v[2]); break;
    case SetField::Conveyor: game.conveyor.at(int32(v[0]), int32(v[1])) = byte(v[2]); break;
    case SetField::Carried:
        p.carriedCount = static_cast<std::uint8_t>((v[0] != 0) + (v[1] != 0) + (v[2] != 0));
        p.carried = {byte(v[0]), byte(v[1]), byte(v[2])};
        break;
    case SetField::SpawnCounter: game.spawnCounter = int32(v[0]); break;
    case SetField::PointsBaseline: game.pointsBaseline = int32(v[0]); break;
    case SetField::Random: game.random.state = static_cast<std::uint32_t>(v[0]); break;
    }
}

std::string dumpGame(const Game& game) {
    const Player& p = game.player;
    std::string json;
    json.reserve(700);
    auto field = [&json](const char* key, std::int64_t value) {
        json += '"';
        json += key;
        json += "\":";
        json += std::to_string(value);
        json += ',';
    };
    json += '{';
    field("state", static_cast<int>(game.state));
    field("lives", p.lives);
    field("level", p.level);
    field("dropsLeft", p.dropsLeft);
    json += "\"goals\":";
    appendArray(json, p.goals);
    json += ',';
    field("score", p.score);
    field("paddleLane", p.paddleLane);
    field("carriedCount", p.carriedCount);
    json += "\"carried\":";
    appendArray(json, p.carried);
    json += ",\"conveyor\":[";
    for (int lane = 0; lane < laneCount; ++lane) {
        if (lane > 0) json += ',';
        for (int cell = 0; cell < laneCells; ++cell) {
            json += cell == 0 ? '[' : ',';
            json += std::to_string(game.conveyor.at(lane, cell));
        }
        json += ']';
    }
    json += "],\"bin\":[";
    for (int column = 0; column < binColumns; ++column) {
        if (column > 0) json += ',';
        for (int row = 0; row < binRows; ++row) {
            json += row == 0 ? '[' : ',';
            json += std::to_string(game.bin.at(column, row));
        }
        json += ']';
    }
    json += "],";
    field("spawnCounter", game.spawnCounter);
    field("pointsBaseline", game.pointsBaseline);
    json += "\"random\":";
    json += std::to_string(game.random.state);
    json += '}';
    return json;
}

ScriptRunner::ScriptRunner() {
    startGame(defaultSeed);
}

void ScriptRunner::startGame(std::uint32_t seed) {
    game_ = Game{};
    game_.setUp(standardRules, seed);
    gameStarted();
}

bool ScriptRunner::shot(const std::string&, std::int32_t, std::string& error) {
    error = "shot: this runner draws no frames";
    return false;
}

int ScriptRunner::runScript(std::istream& in, std::ostream& out, std::ostream& err,
                            std::string_view name) {
    std::string line;
    std::string error;
    long lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!runLine(line, out, error)) {
            out.flush();
            err << name << ": line " << lineNumber << ": " << error << '\n';
            return 2;
        }
    }
    out.flush();
    if (in.bad()) {
        err << name << ": reading the script failed after line " << lineNumber << '\n';
        return 2;
    }
    return 0;
}

bool ScriptRunner::runLine(std::string_view text, std::ostream& out, std::string& error) {
    ScriptLine line;
    return parseScriptLine(text, line, error) && run(line, out, error);
}

bool ScriptRunner::run(const ScriptLine& line, std::ostream& out, std::string& error) {
    switch (line.kind) {
    case ScriptLine::Kind::Blank: break;
    case ScriptLine::Kind::Seed: startGame(line.seed); break;
    case ScriptLine::Kind::Tick: game_.advance(line.ticks); break;
    case ScriptLine::Kind::Play: applyCommand(game_, line.command); break;
    case ScriptLine::Kind::Set: applySet(game_, line); break;
    case ScriptLine::Kind::Dump: out << dumpGame(game_) << '\n'; break;
    case ScriptLine::Kind::Shot: return shot(line.path, line.scale, error);
    }
    return true;
}

} // namespace plonta
