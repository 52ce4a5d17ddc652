// Running script lines against one game.
#include "script/script_runner.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "script/fields.h"
#include "script/script_text.h"

namespace plonta {

ScriptRunner::ScriptRunner() {
    startGame(defaultSeed);
}

void ScriptRunner::startGame(std::uint32_t seed) {
    game_ = Game{};
    game_.setUp(standardRules, seed);
    gameStarted();
}

bool ScriptRunner::sound(const std::string&, std::string& error) {
    error = "sound: this runner makes no sound";
    return false;
}

void ScriptRunner::tick(std::int32_t ticks) {
    // Ticks that may do something run one by one; a quiet stretch, and whatever follows the end
    // of play (no state but Running and LevelComplete acts on a tick), is one step.
    while (ticks > 0) {
        const bool active =
            game_.state == GameState::Running || game_.state == GameState::LevelComplete;
        const std::int64_t quiet = active ? game_.quietTicks() : ticks;
        const auto step = static_cast<std::int32_t>(std::clamp<std::int64_t>(quiet, 1, ticks));
        game_.events.clear();
        game_.advance(step);
        stepped(step);
        ticks -= step;
    }
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
    StreamLines lines(in);
    while (lines.next(line)) {
        ++lineNumber;
        if (!runLine(line, out, error)) {
            out.flush();
            err << name << ": line " << lineNumber << ": " << error << '\n';
            return 2;
        }
    }
    out.flush();
    if (lines.tooLarge()) {
        err << name << ": line " << lineNumber + 1 << ": the script goes on past "
            << (maxScriptBytes >> 20) << " MiB\n";
        return 2;
    }
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
    case ScriptLine::Kind::Tick:
        tick(line.ticks);
        framesShown(line.ticks);
        break;
    case ScriptLine::Kind::Play:
        game_.events.clear();
        applyCommand(game_, line.command);
        stepped(0);
        if (line.command != Command::TogglePause) framesShown(1);
        break;
    case ScriptLine::Kind::Set:
        applySet(game_, line);
        framesShown(0);
        break;
    case ScriptLine::Kind::Dump: out << dumpGame(game_) << '\n'; break;
    case ScriptLine::Kind::Shot: return shot(line.path, line.scaleThousandths, error);
    case ScriptLine::Kind::Sound: return sound(line.path, error);
    }
    return true;
}

} // namespace plonta
