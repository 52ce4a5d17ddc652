// SDL's controller events into pad snapshots: the buttons and the stick the game uses.
#include "shell/sdl/sdl_pads.h"

#include <algorithm>

namespace plonta {

std::optional<PadReport> SdlPads::added(int deviceIndex) {
    // The event names a device index; everything after it the controller's instance id.
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return std::nullopt;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // A controller there at start-up can be reported twice.
    const bool known =
        std::any_of(open_.begin(), open_.end(), [id](const OpenPad& pad) { return pad.id == id; });
    if (known) {
        SDL_GameControllerClose(controller);
        return std::nullopt;
    }
    OpenPad& pad = open_.emplace_back();
    pad.id = id;
    pad.controller.reset(controller);
    return PadReport{id, pad.state};
}

std::optional<PadReport> SdlPads::event(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) return added(event.cdevice.which);
    // Button and axis events carry the instance id where the removal does.
    const SDL_JoystickID id = event.type == SDL_CONTROLLERAXISMOTION      ? event.caxis.which
                              : event.type == SDL_CONTROLLERDEVICEREMOVED ? event.cdevice.which
                                                                          : event.cbutton.which;
    const auto pad = std::find_if(open_.begin(), open_.end(),
                                  [id](const OpenPad& open) { return open.id == id; });
    if (pad == open_.end()) return std::nullopt;
    PadState& state = pad->state;
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        state = PadState{};
    } else if (event.type == SDL_CONTROLLERAXISMOTION) {
        if (event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX) return std::nullopt;
        state.stickX = std::max(static_cast<float>(event.caxis.value) / 32767.0f, -1.0f);
    } else {
        const bool down = event.cbutton.state == SDL_PRESSED;
        switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: state.dpadLeft = down; break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: state.dpadRight = down; break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: state.dpadDown = down; break;
        case SDL_CONTROLLER_BUTTON_A: state.south = down; break;
        case SDL_CONTROLLER_BUTTON_START: state.start = down; break;
        case SDL_CONTROLLER_BUTTON_BACK: state.back = down; break;
        case SDL_CONTROLLER_BUTTON_Y: state.north = down; break;
        default: return std::nullopt;
        }
    }
    const PadReport report{id, state};
    if (!state.connected) open_.erase(pad);
    return report;
}

} // namespace plonta
