// The commands and their script words.
#include "game/command.h"

namespace plonta {

void applyCommand(Game& game, Command command) {
    switch (command) {
    case Command::Action: game.action(); break;
    case Command::PaddleLeft: game.movePaddle(Direction::Left); break;
    case Command::PaddleRight: game.movePaddle(Direction::Right); break;
    case Command::TogglePause: game.togglePause(); break;
    }
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

} // namespace plonta
