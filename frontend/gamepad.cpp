// Snapshots to key actions: edges for the buttons, a repeating held direction, and a pause for
// a pad that goes away mid-game.
#include "frontend/gamepad.h"

#include <algorithm>

namespace plonta {
namespace {

// Whether deadline is at or before now on a clock that wraps.
bool reached(std::uint32_t deadline, std::uint32_t now) {
    return static_cast<std::int32_t>(now - deadline) >= 0;
}

KeyAction directionKey(bool left) {
    return playKey(left ? Command::PaddleLeft : Command::PaddleRight);
}

} // namespace

Gamepads::Held Gamepads::heldDirection(const PadState& state) {
    const bool left = state.dpadLeft || state.stickX <= -deadZone;
    const bool right = state.dpadRight || state.stickX >= deadZone;
    // Both at once cancel, as they would on a D-pad that cannot press both.
    if (left == right) return Held::None;
    return left ? Held::Left : Held::Right;
}

std::vector<KeyAction> Gamepads::update(int id, const PadState& state, std::uint32_t nowMs,
                                        GameState game) {
    std::vector<KeyAction> actions;
    // Repeats that fell due before this snapshot come first, as they would have.
    repeatInto(actions, nowMs);
    auto pad = std::find_if(pads_.begin(), pads_.end(), [id](const Pad& p) { return p.id == id; });
    if (!state.connected) {
        if (pad == pads_.end()) return actions;
        pads_.erase(pad);
        // A player whose pad went has no way to play on: the game waits for him.
        if (game == GameState::Running) actions.push_back(playKey(Command::TogglePause));
        return actions;
    }
    if (pad == pads_.end()) pad = pads_.insert(pads_.end(), Pad{id, PadState{true}});
    const PadState before = pad->state;
    const Held held = heldDirection(state);
    if (held != pad->held) {
        pad->held = held;
        if (held != Held::None) {
            actions.push_back(directionKey(held == Held::Left));
            pad->deadline = nowMs + repeatDelayMs;
        }
    }
    if (state.south && !before.south) actions.push_back(playKey(Command::Action));
    if (state.dpadDown && !before.dpadDown) actions.push_back(playKey(Command::Action));
    if (state.start && !before.start) actions.push_back(playKey(Command::TogglePause));
    if (state.back && !before.back) actions.push_back(newGameKey);
    if (state.north && !before.north) actions.push_back(bestGamesKey);
    pad->state = state;
    return actions;
}

std::vector<KeyAction> Gamepads::repeat(std::uint32_t nowMs) {
    std::vector<KeyAction> actions;
    repeatInto(actions, nowMs);
    return actions;
}

void Gamepads::repeatInto(std::vector<KeyAction>& actions, std::uint32_t nowMs) {
    for (Pad& pad : pads_) {
        if (pad.held == Held::None || !reached(pad.deadline, nowMs)) continue;
        actions.push_back(directionKey(pad.held == Held::Left));
        pad.deadline += repeatPeriodMs;
        if (reached(pad.deadline, nowMs)) pad.deadline = nowMs + repeatPeriodMs;
    }
}

std::optional<std::uint32_t> Gamepads::nextDeadline() const {
    std::optional<std::uint32_t> next;
    for (const Pad& pad : pads_) {
        if (pad.held == Held::None) continue;
        if (!next || static_cast<std::int32_t>(pad.deadline - *next) < 0) next = pad.deadline;
    }
    return next;
}

} // namespace plonta
