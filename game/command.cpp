// What each command does to the game.
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

} // namespace plonta
