// Random commands through the script runner, as many as asked: valid lines of every kind with
// their numbers anywhere in range, and lines that must be refused. Every line is checked
// against the same command made directly on a copy of the game, and the record's own
// invariants hold after each. Under ASan and UBSan this is the long-play check of the rules.
// Usage: plonta_script_soak COMMANDS [SEED]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "script/fields.h"
#include "script/script_runner.h"

namespace plonta {
namespace {

std::mt19937_64 rng;

std::int64_t between(std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(rng);
}

bool fail(std::uint64_t index, const std::string& line, const char* what) {
    std::fprintf(stderr, "command %llu '%s': %s\n", static_cast<unsigned long long>(index),
                 line.c_str(), what);
    return false;
}

// Every field of the record, as the dump has them, compared without building the dump.
bool sameRecord(const Game& a, const Game& b) {
    const Player& p = a.player;
    const Player& q = b.player;
    return a.state == b.state && a.dropsPerLife == b.dropsPerLife && a.startLives == b.startLives &&
           a.colourCount == b.colourCount && a.dropNewestFirst == b.dropNewestFirst &&
           p.lives == q.lives && p.level == q.level && p.dropsLeft == q.dropsLeft &&
           p.goals == q.goals && p.score == q.score && p.paddleLane == q.paddleLane &&
           p.carriedCount == q.carriedCount && p.carried == q.carried &&
           a.conveyor.cells == b.conveyor.cells && a.bin.cells == b.bin.cells &&
           a.spawnCounter == b.spawnCounter && a.pointsBaseline == b.pointsBaseline &&
           a.random.state == b.random.state;
}

// What must hold whatever a script set: the values a "set" can write stay inside the ranges
// the drawing and the rules index with, and the carried stack has no gap.
bool invariantsHold(const Game& game) {
    const Player& p = game.player;
    if (static_cast<int>(game.state) > 5 || p.paddleLane >= laneCount) return false;
    if (p.carriedCount > carriedSlots) return false;
    for (int slot = 0; slot < carriedSlots; ++slot)
        if ((slot < p.carriedCount) != (p.carried[static_cast<std::size_t>(slot)] != 0))
            return false;
    for (const Tile tile : game.conveyor.cells)
        if (tile > 7) return false;
    for (const Tile tile : game.bin.cells)
        if (tile > 7) return false;
    return true;
}

// Small counts mostly, now and then long waits up to the largest a line may ask for.
std::int32_t tickCount() {
    const std::int64_t roll = between(0, 99);
    if (roll < 90) return static_cast<std::int32_t>(between(0, 12));
    if (roll < 99) return static_cast<std::int32_t>(between(13, 120));
    return static_cast<std::int32_t>(between(121, 2147483647));
}

std::string setLine() {
    switch (between(0, 12)) {
    case 0: return "set state " + std::to_string(between(0, 5));
    case 1: return "set lives " + std::to_string(between(0, 255));
    case 2: return "set level " + std::to_string(between(1, 8));
    case 3: return "set dropsLeft " + std::to_string(between(0, 255));
    case 4: return "set score " + std::to_string(between(-2147483648LL, 2147483647));
    case 5: return "set paddleLane " + std::to_string(between(0, 4));
    case 6:
        return "set goal " + std::to_string(between(1, 7)) + " " +
               std::to_string(between(-2147483648LL, 2147483647));
    case 7:
        return "set bin " + std::to_string(between(0, 4)) + " " + std::to_string(between(0, 4)) +
               " " + std::to_string(between(0, 7));
    case 8:
        return "set conveyor " + std::to_string(between(0, 4)) + " " +
               std::to_string(between(0, 11)) + " " + std::to_string(between(0, 7));
    case 9: {
        const std::int64_t count = between(0, 3);
        std::string line = "set carried";
        for (std::int64_t slot = 0; slot < 3; ++slot)
            line += " " + std::to_string(slot < count ? between(1, 7) : 0);
        return line;
    }
    case 10: return "set spawnCounter " + std::to_string(between(-2147483648LL, 2147483647));
    case 11: return "set pointsBaseline " + std::to_string(between(-2147483648LL, 2147483647));
    default: return "set random " + std::to_string(between(0, 4294967295LL));
    }
}

// Lines the reader must refuse: numbers out of range, unknown words, wrong counts.
std::string badLine() {
    static const char* const lines[] = {"tick -1",
                                        "tick 2147483648",
                                        "tick 1 2",
                                        "seed -1",
                                        "seed 4294967296",
                                        "set lives 256",
                                        "set level 0",
                                        "set level 9",
                                        "set paddleLane 5",
                                        "set bin 5 0 1",
                                        "set bin 0 0 8",
                                        "set conveyor 0 12 1",
                                        "set carried 0 1 0",
                                        "set carried 1 0 2",
                                        "set goal 8 1",
                                        "set state 6",
                                        "set nothing 1",
                                        "set",
                                        "jump",
                                        "space 1",
                                        "dump now",
                                        "shot",
                                        "tick 0x10",
                                        "set score 1e3",
                                        "set random -1",
                                        "set spawnCounter +",
                                        "left right",
                                        "shot frame.png"};
    return lines[between(0, std::size(lines) - 1)];
}

bool soak(std::uint64_t commands) {
    ScriptRunner runner;
    std::ostringstream out;
    std::string error;
    std::uint64_t refused = 0;
    for (std::uint64_t i = 0; i < commands; ++i) {
        Game expected = runner.game();
        std::string line;
        bool valid = true;
        const std::int64_t roll = between(0, 99);
        if (roll < 40) {
            static const char* const words[] = {"space", "down", "left", "right", "pause"};
            const std::string_view word = words[between(0, 4)];
            line = word;
            applyCommand(expected, *commandForWord(word));
        } else if (roll < 75) {
            const std::int32_t count = tickCount();
            line = "tick " + std::to_string(count);
            // Single ticks where that is quick; a long wait has its own test against them.
            if (count <= 120) {
                for (std::int32_t t = 0; t < count; ++t)
                    if (expected.state == GameState::Running ||
                        expected.state == GameState::LevelComplete)
                        expected.tick();
            } else {
                expected.advance(count);
            }
        } else if (roll < 92) {
            line = setLine();
        } else if (roll < 93) {
            const auto seed = static_cast<std::uint32_t>(between(0, 4294967295LL));
            line = "seed " + std::to_string(seed);
            expected = Game{};
            expected.setUp(standardRules, seed);
        } else if (roll < 94) {
            line = "dump";
        } else {
            line = badLine();
            valid = false;
        }
        out.str({});
        const bool ran = runner.runLine(line, out, error);
        if (ran != valid) return fail(i, line, valid ? error.c_str() : "was not refused");
        if (!valid) ++refused;
        // A valid "set" is checked by the invariants only: writing the field is all it does.
        const bool compared = !valid || line.rfind("set ", 0) != 0;
        if (compared && !sameRecord(runner.game(), expected))
            return fail(i, line, "differs from the same command made directly");
        if (line == "dump" && out.str() != dumpGame(expected) + "\n")
            return fail(i, line, "dump differs from the record");
        if (!invariantsHold(runner.game())) return fail(i, line, "invariant broken");
    }
    std::printf("%llu commands, %llu refused as they should be: ok\n",
                static_cast<unsigned long long>(commands),
                static_cast<unsigned long long>(refused));
    return true;
}

} // namespace
} // namespace plonta

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: plonta_script_soak COMMANDS [SEED]\n");
        return 2;
    }
    const std::uint64_t commands = std::strtoull(argv[1], nullptr, 10);
    plonta::rng.seed(argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 1);
    return plonta::soak(commands) ? 0 : 1;
}
