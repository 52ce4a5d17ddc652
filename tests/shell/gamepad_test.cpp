// Pad snapshots into key actions: presses on their edges, held directions repeating on their
// deadlines, the stick's dead zone, pads going away, several pads and a wrapping clock.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "shell/gamepad.h"

namespace plonta {
namespace {

using Actions = std::vector<KeyAction>;

const KeyAction left = playKey(Command::PaddleLeft);
const KeyAction right = playKey(Command::PaddleRight);
const KeyAction action = playKey(Command::Action);
const KeyAction pause = playKey(Command::TogglePause);

constexpr PadState none{.connected = true};
constexpr PadState gone{};

// A snapshot of pad `id` at `at`, or with no pad a call of repeat; then what comes out and
// when the next repeat is due.
struct Step {
    std::uint32_t at;
    std::optional<PadState> pad;
    Actions expected;
    std::optional<std::uint32_t> next = std::nullopt;
    int id = 0;
    GameState game = GameState::Running;
};

struct PadCase {
    std::string name;
    std::vector<Step> steps;
};

void PrintTo(const PadCase& padCase, std::ostream* out) {
    *out << padCase.name;
}

class PadSteps : public testing::TestWithParam<PadCase> {};

TEST_P(PadSteps, GiveTheirActions) {
    Gamepads pads;
    for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
        const Step& step = GetParam().steps[i];
        const Actions actions =
            step.pad ? pads.update(step.id, *step.pad, step.at, step.game) : pads.repeat(step.at);
        EXPECT_EQ(actions, step.expected) << "step " << i;
        EXPECT_EQ(pads.nextDeadline(), step.next) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gamepads, PadSteps,
    testing::Values(
        PadCase{"ButtonsActOnceWhenPressed",
                {{0, none, {}},
                 {1, PadState{.connected = true, .south = true}, {action}},
                 {2, PadState{.connected = true, .south = true}, {}},
                 {3, none, {}},
                 {4, PadState{.connected = true, .dpadDown = true}, {action}},
                 {5, PadState{.connected = true, .start = true}, {pause}},
                 {6, PadState{.connected = true, .back = true}, {newGameKey}}}},
        PadCase{
            "ANewPadHadNothingPressedBefore",
            {{0, PadState{.connected = true, .south = true, .back = true}, {action, newGameKey}}}},
        PadCase{"AHeldDirectionRepeatsAfterADelayThenSteadily",
                {{1000, PadState{.connected = true, .dpadLeft = true}, {left}, 1400},
                 {1399, std::nullopt, {}, 1400},
                 {1400, std::nullopt, {left}, 1500},
                 {1500, std::nullopt, {left}, 1600},
                 {1550, none, {}}}},
        PadCase{"ALateWakeRepeatsOnceNotABurst",
                {{0, PadState{.connected = true, .dpadRight = true}, {right}, 400},
                 {1000, std::nullopt, {right}, 1100}}},
        PadCase{"RepeatsDueBeforeASnapshotComeFirst",
                {{0, PadState{.connected = true, .dpadLeft = true}, {left}, 400},
                 {450,
                  PadState{.connected = true, .dpadLeft = true, .south = true},
                  {left, action},
                  500}}},
        PadCase{"TheStickHoldsADirectionOutsideItsDeadZone",
                {{0, PadState{.connected = true, .stickX = 0.4f}, {}},
                 {1, PadState{.connected = true, .stickX = 0.6f}, {right}, 401},
                 {2, PadState{.connected = true, .stickX = -0.5f}, {left}, 402},
                 {3, PadState{.connected = true, .dpadLeft = true, .stickX = -1.0f}, {}, 402},
                 {4, PadState{.connected = true, .dpadRight = true, .stickX = -1.0f}, {}}}},
        PadCase{"APadGoingAwayPausesOnlyARunningGame",
                {{0, PadState{.connected = true, .dpadLeft = true}, {left}, 400},
                 {1, gone, {pause}},
                 {2, none, {}},
                 {3, gone, {}, std::nullopt, 0, GameState::Paused},
                 {4, gone, {}},
                 {5, gone, {}, std::nullopt, 7}}},
        PadCase{"PadsPressAndHoldApart",
                {{0, PadState{.connected = true, .south = true}, {action}},
                 {1, PadState{.connected = true, .south = true}, {action}, std::nullopt, 1},
                 {2, PadState{.connected = true, .dpadRight = true}, {right}, 402, 1},
                 {3, none, {}, 402},
                 {4, gone, {pause}, 402},
                 {402, std::nullopt, {right}, 502}}},
        PadCase{"DeadlinesWrapWithTheClock",
                {{0xFFFF'FF00u, PadState{.connected = true, .dpadLeft = true}, {left}, 0x90},
                 {0xFFFF'FFFFu, std::nullopt, {}, 0x90},
                 {0x8F, std::nullopt, {}, 0x90},
                 {0x90, std::nullopt, {left}, 0xF4}}}),
    [](const testing::TestParamInfo<PadCase>& padCase) { return padCase.param.name; });

} // namespace
} // namespace plonta
