// Parsing and running the driver's commands, and the state dump.
#include "tools/plonta-sim/script.h"

#include <charconv>
#include <cstdint>
#include <istream>
#include <limits>
#include <ostream>

namespace plonta {

namespace {

constexpr std::uint32_t defaultSeed = 1;
constexpr std::int64_t maxTicks = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t maxTileCode = 7; // the codes that have drawing objects
constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t byteMax = 255;
constexpr int clientWidth = 400;
constexpr int clientHeight = 500;

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

bool expectArguments(const std::vector<std::string_view>& words, std::size_t count,
                     std::string& error) {
    const std::size_t given = words.size() - 1;
    if (given < count) {
        error =
            std::string(words[0]) + ": missing argument (expects " + std::to_string(count) + ")";
        return false;
    }
    if (given > count) {
        error =
            std::string(words[0]) + ": too many arguments (expects " + std::to_string(count) + ")";
        return false;
    }
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

ScriptRunner::ScriptRunner() : canvas_(clientWidth, clientHeight) {
    reset(defaultSeed);
    // Once per run, right after the set-up, as the real program does.
    drawer_.createDrawingObjects(canvas_);
}

void ScriptRunner::reset(std::uint32_t seed) {
    game_ = Game{};
    game_.setUp(10, 5, 5, 1, seed);
    // A fresh game starts a fresh blink; the drawing objects stay those made at start.
    const DrawingObjects objects = drawer_.drawingObjects;
    drawer_ = FrameDrawer{};
    drawer_.drawingObjects = objects;
}

int ScriptRunner::runScript(std::istream& in, std::ostream& out, std::ostream& err) {
    std::string line;
    std::string error;
    long lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!runLine(line, out, error)) {
            out.flush();
            err << "plonta-sim: line " << lineNumber << ": " << error << '\n';
            return 2;
        }
    }
    out.flush();
    if (in.bad()) {
        err << "plonta-sim: reading the script failed after line " << lineNumber << '\n';
        return 2;
    }
    return 0;
}

bool ScriptRunner::runLine(std::string_view line, std::ostream& out, std::string& error) {
    const std::vector<std::string_view> words = splitWords(line);
    if (words.empty() || words[0].front() == '#') return true;
    return runCommand(words, out, error);
}

bool ScriptRunner::runCommand(const std::vector<std::string_view>& words, std::ostream& out,
                              std::string& error) {
    const std::string_view command = words[0];
    std::int64_t value = 0;
    if (command == "seed") {
        if (!expectArguments(words, 1, error) ||
            !parseNumber(words[1], 0, std::numeric_limits<std::uint32_t>::max(), "seed", value,
                         error))
            return false;
        reset(static_cast<std::uint32_t>(value));
    } else if (command == "tick") {
        std::int64_t count = 1;
        if (words.size() > 2) return expectArguments(words, 1, error);
        if (words.size() == 2 && !parseNumber(words[1], 0, maxTicks, "tick", count, error))
            return false;
        for (std::int64_t i = 0; i < count; ++i) {
            // Outside Running (and LevelComplete) a tick changes nothing: stop early.
            if (game_.state != GameState::Running && game_.state != GameState::LevelComplete) break;
            game_.tick();
        }
    } else if (command == "space" || command == "down") {
        if (!expectArguments(words, 0, error)) return false;
        game_.action();
    } else if (command == "left" || command == "right") {
        if (!expectArguments(words, 0, error)) return false;
        game_.movePaddle(command == "right" ? 1 : 0);
    } else if (command == "pause") {
        if (!expectArguments(words, 0, error)) return false;
        game_.togglePause();
    } else if (command == "dump") {
        if (!expectArguments(words, 0, error)) return false;
        out << dumpGame(game_) << '\n';
    } else if (command == "set") {
        return runSet(words, error);
    } else if (command == "shot") {
        if (!expectArguments(words, 1, error)) return false;
        return shot(words[1], error);
    } else {
        error = "unknown command " + quoted(command);
        return false;
    }
    return true;
}

bool ScriptRunner::shot(std::string_view path, std::string& error) {
    // A shot is a frame like any other: in Paused it flips the blink.
    const std::uint8_t blinkBefore = drawer_.pauseBlink;
    canvas_.clear();
    drawer_.drawFrame(canvas_, game_);
    if (!canvas_.writePng(std::string(path).c_str())) {
        drawer_.pauseBlink = blinkBefore;
        error = "shot: cannot write " + quoted(path);
        return false;
    }
    return true;
}

bool ScriptRunner::runSet(const std::vector<std::string_view>& words, std::string& error) {
    if (words.size() < 2) {
        error = "set: missing field name";
        return false;
    }
    const std::string_view field = words[1];
    // The remaining words are the field's values, each checked against its range.
    struct Range {
        std::int64_t min;
        std::int64_t max;
        const char* what;
    };
    auto values = [&](std::initializer_list<Range> ranges, std::int64_t* out) {
        const std::vector<std::string_view> rest(words.begin() + 1, words.end());
        if (!expectArguments(rest, ranges.size(), error)) {
            error = "set " + error;
            return false;
        }
        std::size_t i = 0;
        for (const Range& range : ranges) {
            // A one-value field is named once: "set lives", not "set lives lives".
            const std::string what = ranges.size() == 1
                                         ? "set " + std::string(field)
                                         : "set " + std::string(field) + " " + range.what;
            if (!parseNumber(rest[i + 1], range.min, range.max, what, out[i], error)) return false;
            ++i;
        }
        return true;
    };
    Player& p = game_.player;
    std::int64_t v[3] = {0, 0, 0};
    const auto byte = [](std::int64_t x) { return static_cast<std::uint8_t>(x); };
    const auto int32 = [](std::int64_t x) { return static_cast<std::int32_t>(x); };
    if (field == "state") {
        if (!values({{0, 5, "state"}}, v)) return false;
        game_.state = static_cast<GameState>(v[0]);
    } else if (field == "lives") {
        if (!values({{0, byteMax, "lives"}}, v)) return false;
        p.lives = byte(v[0]);
    } else if (field == "level") {
        if (!values({{1, lastLevel + 1, "level"}}, v)) return false;
        p.level = byte(v[0]);
    } else if (field == "dropsLeft") {
        if (!values({{0, byteMax, "dropsLeft"}}, v)) return false;
        p.dropsLeft = byte(v[0]);
    } else if (field == "score") {
        if (!values({{int32Min, int32Max, "score"}}, v)) return false;
        p.score = int32(v[0]);
    } else if (field == "paddleLane") {
        if (!values({{0, laneCount - 1, "paddleLane"}}, v)) return false;
        p.paddleLane = byte(v[0]);
    } else if (field == "goal") {
        if (!values({{1, lastLevel, "level"}, {int32Min, int32Max, "value"}}, v)) return false;
        p.goals[static_cast<std::size_t>(v[0])] = int32(v[1]);
    } else if (field == "bin") {
        if (!values(
                {{0, binColumns - 1, "column"}, {0, binRows - 1, "row"}, {0, maxTileCode, "tile"}},
                v))
            return false;
        game_.bin.at(int32(v[0]), int32(v[1])) = byte(v[2]);
    } else if (field == "conveyor") {
        if (!values(
                {{0, laneCount - 1, "lane"}, {0, laneCells - 1, "cell"}, {0, maxTileCode, "tile"}},
                v))
            return false;
        game_.conveyor.at(int32(v[0]), int32(v[1])) = byte(v[2]);
    } else if (field == "carried") {
        if (!values({{0, maxTileCode, "slot 1"},
                     {0, maxTileCode, "slot 2"},
                     {0, maxTileCode, "slot 3"}},
                    v))
            return false;
        // The stack holds its tiles in the leading slots, with no gap.
        if ((v[0] == 0 && v[1] != 0) || (v[1] == 0 && v[2] != 0)) {
            error = "set carried: a tile after an empty slot";
            return false;
        }
        p.carriedCount = static_cast<std::uint8_t>((v[0] != 0) + (v[1] != 0) + (v[2] != 0));
        p.carried = {byte(v[0]), byte(v[1]), byte(v[2])};
    } else if (field == "spawnCounter") {
        if (!values({{int32Min, int32Max, "spawnCounter"}}, v)) return false;
        game_.spawnCounter = int32(v[0]);
    } else if (field == "pointsBaseline") {
        if (!values({{int32Min, int32Max, "pointsBaseline"}}, v)) return false;
        game_.pointsBaseline = int32(v[0]);
    } else if (field == "random") {
        if (!values({{0, std::numeric_limits<std::uint32_t>::max(), "random"}}, v)) return false;
        game_.random.state = static_cast<std::uint32_t>(v[0]);
    } else {
        error = "set: unknown field " + quoted(field);
        return false;
    }
    return true;
}

} // namespace plonta
