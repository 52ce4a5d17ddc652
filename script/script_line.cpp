// Reading script lines, and the command words: one checked parser for scripts and recordings
// alike. It needs no streams, so the programs that read recordings link no stream code.
#include "script/script_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace plonta {

namespace {

constexpr std::int64_t maxTicks = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t maxTileCode = 7; // the codes that have drawing objects
constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t uint32Max = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t byteMax = 255;
constexpr std::int64_t maxShotScale = 4; // as the desktop programs' --scale

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A line's words: all counted, the first few kept. No line the parser takes has more, and it
// checks the count before it reads a word, so a long line costs no allocation either.
struct Words {
    static constexpr std::size_t kept = 8;
    std::array<std::string_view, kept> items{};
    std::size_t count = 0;

    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    std::string_view operator[](std::size_t i) const { return items[i]; }
};

Words splitWords(std::string_view line) {
    Words words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSpace(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSpace(line[i])) ++i;
        if (i == start) continue;
        if (words.count < Words::kept) words.items[words.count] = line.substr(start, i - start);
        ++words.count;
    }
    return words;
}

// Shortens what a message quotes, so a huge token cannot flood the error stream, and masks all
// but printable ASCII, so a file from elsewhere cannot drive the terminal showing the message.
std::string quoted(std::string_view word) {
    constexpr std::size_t limit = 40;
    std::string text(word.substr(0, limit));
    for (char& c : text)
        if (c < 0x20 || c > 0x7e) c = '?';
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

bool parseSet(const Words& words, ScriptLine& parsed, std::string& error) {
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
} // namespace

std::optional<std::int64_t> parseThousandths(std::string_view word) {
    // At most four whole digits: no scale needs more, and nothing overflows.
    std::int64_t thousandths = 0;
    std::size_t i = 0;
    for (; i < word.size() && i < 4 && word[i] >= '0' && word[i] <= '9'; ++i)
        thousandths = thousandths * 10 + (word[i] - '0');
    if (i == 0) return std::nullopt;
    thousandths *= 1000;
    if (i < word.size() && word[i] == '.') {
        std::int64_t place = 100;
        for (++i; i < word.size() && place > 0 && word[i] >= '0' && word[i] <= '9'; ++i) {
            thousandths += (word[i] - '0') * place;
            place /= 10;
        }
    }
    if (i != word.size()) return std::nullopt;
    return thousandths;
}

std::string_view commandWord(Command command) {
    switch (command) {
    case Command::Action: return "space";
    case Command::PaddleLeft: return "left";
    case Command::PaddleRight: return "right";
    case Command::TogglePause: return "pause";
    }
    return "";
}

std::optional<Command> commandForWord(std::string_view word) {
    if (word == "space" || word == "down") return Command::Action;
    if (word == "left") return Command::PaddleLeft;
    if (word == "right") return Command::PaddleRight;
    if (word == "pause") return Command::TogglePause;
    return std::nullopt;
}

bool parseScriptLine(std::string_view line, ScriptLine& parsed, std::string& error) {
    parsed = ScriptLine{};
    const Words words = splitWords(line);
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
        parsed.scaleThousandths = 1000;
        if (given == 2) {
            const std::optional<std::int64_t> scale = parseThousandths(words[2]);
            if (!scale || *scale < 1000 || *scale > maxShotScale * 1000) {
                error = "shot scale: " + quoted(words[2]) + " is not a number from 1 to " +
                        std::to_string(maxShotScale) + " (such as 2 or 1.6)";
                return false;
            }
            parsed.scaleThousandths = static_cast<std::int32_t>(*scale);
        }
        parsed.kind = ScriptLine::Kind::Shot;
        parsed.path = std::string(words[1]);
    } else if (name == "sound") {
        if (!expectArguments(name, given, 1, error)) return false;
        parsed.kind = ScriptLine::Kind::Sound;
        parsed.path = std::string(words[1]);
    } else {
        error = "unknown command " + quoted(name);
        return false;
    }
    return true;
}

bool parseRecordingLine(std::string_view line, ScriptLine& parsed, std::string& error) {
    if (!parseScriptLine(line, parsed, error)) return false;
    const char* name = parsed.kind == ScriptLine::Kind::Set     ? "set"
                       : parsed.kind == ScriptLine::Kind::Dump  ? "dump"
                       : parsed.kind == ScriptLine::Kind::Shot  ? "shot"
                       : parsed.kind == ScriptLine::Kind::Sound ? "sound"
                                                                : nullptr;
    if (name == nullptr) return true;
    error = std::string(name) +
            " is not allowed in a recording (only seed, tick, space, down, left, right, pause)";
    parsed = ScriptLine{};
    return false;
}

} // namespace plonta
