// Game commands behind the keys.
#include "shell/command.h"

namespace plonta {

bool applyCommand(Game& game, Command command) {
    switch (command) {
    case Command::Action: game.action(); return true;
    case Command::PaddleLeft: game.movePaddle(0); return true;
    case Command::PaddleRight: game.movePaddle(1); return true;
    case Command::TogglePause: game.togglePause(); return false;
    case Command::None:
    case Command::Quit: return false;
    }
    return false;
}

} // namespace plonta
