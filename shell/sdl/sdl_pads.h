// Game controllers through SDL, read into the front end's pad snapshots from their events.
#pragma once

#include <SDL.h>

#include <memory>
#include <optional>
#include <vector>

#include "frontend/gamepad.h"

namespace plonta {

// A pad the front end hears of: the id the host numbers it by, and what it reads now.
struct PadReport {
    int id = 0;
    PadState state;
};

class SdlPads {
  public:
    // A controller's event: opened when it comes, closed when it goes, and its new snapshot;
    // nothing for a control the game does not use.
    std::optional<PadReport> event(const SDL_Event& event);
    bool anyOpen() const { return !open_.empty(); }

  private:
    // An open controller and what it reads now, kept from its events: a press and release
    // queued together must both count, which the controller's state at handling time loses.
    struct OpenPad {
        SDL_JoystickID id = 0;
        std::unique_ptr<SDL_GameController, void (*)(SDL_GameController*)> controller{
            nullptr, SDL_GameControllerClose};
        PadState state{true};
    };
    std::optional<PadReport> added(int deviceIndex);

    std::vector<OpenPad> open_;
};

} // namespace plonta
