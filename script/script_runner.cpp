// Running script lines against one game.
#include "script/script_runner.h"

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
        game_.advance(line.ticks);
        framesShown(line.ticks);
        break;
    case ScriptLine::Kind::Play:
        applyCommand(game_, line.command);
        if (line.command != Command::TogglePause) framesShown(1);
        break;
    case ScriptLine::Kind::Set:
        applySet(game_, line);
        framesShown(0);
        break;
    case ScriptLine::Kind::Dump: out << dumpGame(game_) << '\n'; break;
    case ScriptLine::Kind::Shot: return shot(line.path, line.scale, error);
    }
    return true;
}

} // namespace plonta
