// Gamepads on every host: the host reads each connected pad into a snapshot, and Gamepads turns
// successive snapshots into the same key actions the keyboard gives, so recordings, replays and
// the rules see no difference.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "frontend/host.h"
#include "game/game.h"

namespace plonta {

// One pad as the host read it: the few controls the game uses, whatever the pad calls them.
struct PadState {
    bool connected = false;
    bool dpadLeft = false;
    bool dpadRight = false;
    bool dpadDown = false;
    // The bottom face button (A on most pads).
    bool south = false;
    bool start = false;
    // Back, Select, View: whatever sits left of Start.
    bool back = false;
    // The left stick across, -1 full left to 1 full right.
    float stickX = 0.0f;
    // The top face button (Y on most pads): the best games.
    bool north = false;

    bool operator==(const PadState&) const = default;
};

class Gamepads {
  public:
    // A held direction repeats as a held key does: after a first delay, at a steady rate.
    static constexpr std::uint32_t repeatDelayMs = 400;
    static constexpr std::uint32_t repeatPeriodMs = 100;
    // How often a host that has to look at its pads (no events for their buttons) looks: as
    // quick as a player can tell, at a fraction of the cost of looking all the time.
    static constexpr std::uint32_t pollPeriodMs = 16;
    // Nearer the middle than this the stick holds no direction: worn sticks rest off centre.
    static constexpr float deadZone = 0.5f;

    // The pad the host calls id (its own numbering) now reads state, at nowMs on any
    // millisecond clock that wraps at 2^32; state is the game's now. The actions for the front
    // end, in order: the presses since the pad's last snapshot (a new pad had nothing pressed
    // before), repeats that fell due, and a pause when the pad went away from a running game.
    std::vector<KeyAction> update(int id, const PadState& state, std::uint32_t nowMs,
                                  GameState game);
    // The repeats due by nowMs, one for each pad holding a direction whose deadline passed;
    // a host that woke late gets one, not a burst.
    std::vector<KeyAction> repeat(std::uint32_t nowMs);
    // When repeat next has something to give; nothing while no pad holds a direction, so the
    // host need not wake for pads at all.
    std::optional<std::uint32_t> nextDeadline() const;
    bool anyConnected() const { return !pads_.empty(); }

  private:
    enum class Held : std::uint8_t { None, Left, Right };
    struct Pad {
        int id = 0;
        PadState state;
        Held held = Held::None;
        std::uint32_t deadline = 0;
    };
    static Held heldDirection(const PadState& state);
    void repeatInto(std::vector<KeyAction>& actions, std::uint32_t nowMs);

    std::vector<Pad> pads_;
};

} // namespace plonta
