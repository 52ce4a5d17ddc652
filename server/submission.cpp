// Replaying submitted recordings and checking names.
#include "server/submission.h"

#include <cstdio>

#include "game/command.h"
#include "game/game.h"
#include "script/script_line.h"
#include "script/script_text.h"

namespace plonta {

namespace {

// Ticks do something only in these states; any other state ignores them.
bool ticksMatter(const Game& game) {
    return game.state == GameState::Running || game.state == GameState::LevelComplete;
}

// The next code point of valid UTF-8 (no overlong form, no surrogate); false at a bad byte.
bool nextCodePoint(std::string_view text, std::size_t& at, char32_t& point) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = lead < 0x80   ? 1
                         : lead < 0xC2 ? 0
                         : lead < 0xE0 ? 2
                         : lead < 0xF0 ? 3
                         : lead < 0xF5 ? 4
                                       : 0;
    if (length == 0 || at + length > text.size()) return false;
    point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return false;
        point = (point << 6) | (byte(at + i) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < least[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return false;
    at += length;
    return true;
}

// Controls, and the format characters that reorder or break the table's lines around a name.
bool shownAsIs(char32_t point) {
    if (point < 0x20 || (point >= 0x7F && point <= 0x9F)) return false;
    if (point == 0x200E || point == 0x200F || point == 0x2028 || point == 0x2029) return false;
    if ((point >= 0x202A && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069)) return false;
    return point != 0xFEFF;
}

} // namespace

ReplayOutcome replaySubmission(std::string_view text,
                               std::chrono::steady_clock::time_point deadline, ReplayedGame& game,
                               std::string& error) {
    game = ReplayedGame{};
    if (text.size() > maxSubmissionBytes) {
        error = "larger than " + std::to_string(maxSubmissionBytes >> 20) + " MiB";
        return ReplayOutcome::Refused;
    }
    // As plonta-sim plays it: seed 1 until a seed line says otherwise.
    Game played;
    played.setUp(standardRules, 1);
    bool seeded = false;
    bool commanded = false;
    std::int64_t pendingTicks = 0;
    std::uint32_t work = 0;
    const auto flushTicks = [&] {
        if (pendingTicks > 0) game.steps += "tick " + std::to_string(pendingTicks) + "\n";
        pendingTicks = 0;
    };
    ScriptLines lines(text);
    std::string_view lineText;
    ScriptLine line;
    std::size_t lineNumber = 0;
    while (lines.next(lineText)) {
        ++lineNumber;
        if ((++work & 1023) == 0 && std::chrono::steady_clock::now() > deadline)
            return ReplayOutcome::TooSlow;
        if (!parseRecordingLine(lineText, line, error)) {
            error = "line " + std::to_string(lineNumber) + ": " + error;
            return ReplayOutcome::Refused;
        }
        switch (line.kind) {
        case ScriptLine::Kind::Seed:
            flushTicks();
            played = Game{};
            played.setUp(standardRules, line.seed);
            game.steps += "seed " + std::to_string(line.seed) + "\n";
            seeded = true;
            break;
        case ScriptLine::Kind::Tick:
            // One at a time while they count: the limit on played ticks bounds this loop.
            for (std::int32_t left = line.ticks; left > 0 && ticksMatter(played); --left) {
                if (played.state == GameState::Running && ++game.playedTicks > maxPlayedTicks) {
                    error = "line " + std::to_string(lineNumber) + ": more than " +
                            std::to_string(maxPlayedTicks) + " ticks of play";
                    return ReplayOutcome::Refused;
                }
                played.tick();
                played.events.clear();
                ++pendingTicks;
                if ((++work & 1023) == 0 && std::chrono::steady_clock::now() > deadline)
                    return ReplayOutcome::TooSlow;
            }
            break;
        case ScriptLine::Kind::Play:
            flushTicks();
            if (!seeded) game.steps += "seed 1\n";
            seeded = true;
            applyCommand(played, line.command);
            played.events.clear();
            game.steps += std::string(commandWord(line.command)) + "\n";
            commanded = true;
            break;
        default: break;
        }
    }
    if (!commanded) {
        error = "not a recording: no command in it";
        return ReplayOutcome::Refused;
    }
    flushTicks();
    game.score = played.player.score;
    game.level = played.player.level;
    return ReplayOutcome::Replayed;
}

bool checkName(std::string_view raw, std::string& name, std::string& error) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!raw.empty() && space(raw.front())) raw.remove_prefix(1);
    while (!raw.empty() && space(raw.back())) raw.remove_suffix(1);
    std::size_t characters = 0;
    for (std::size_t at = 0; at < raw.size(); ++characters) {
        char32_t point = 0;
        if (!nextCodePoint(raw, at, point)) {
            error = "the name is not UTF-8";
            return false;
        }
        if (!shownAsIs(point)) {
            error = "the name holds a control character";
            return false;
        }
    }
    if (characters == 0 || characters > maxNameCharacters) {
        error = "the name needs 1 to " + std::to_string(maxNameCharacters) + " characters";
        return false;
    }
    name = raw;
    return true;
}

std::string jsonQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string htmlEscaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

} // namespace plonta
