// Pad snapshots into key actions: presses on their edges, held directions repeating on their
// deadlines, the stick's dead zone, pads going away, several pads and a wrapping clock.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frontend/gamepad.h"

namespace plonta {
namespace {

using Actions = std::vector<KeyAction>;
const KeyAction left = playKey(Command::PaddleLeft);
const KeyAction right = playKey(Command::PaddleRight);
const KeyAction action = playKey(Command::Action);
const KeyAction pause = playKey(Command::TogglePause);

// A snapshot written as the controls held: L R D for the D-pad, A, S(tart), B(ack), the stick
// at < -0.5, > 0.6 or ~ 0.4; "-" for a pad gone.
PadState pad(const std::string& held) {
    const auto has = [&held](char c) { return held.find(c) != std::string::npos; };
    return PadState{
        !has('-'), has('L'), has('R'), has('D'),
        has('A'),  has('S'), has('B'), has('<') ? -0.5f : has('>') ? 0.6f : has('~') ? 0.4f : 0.0f};
}

// A snapshot of pad `id` at `at`, or without one a call of repeat; what comes out and when the
// next repeat is due.
struct Step {
    std::uint32_t at;
    std::optional<std::string> held;
    Actions expected;
    std::optional<std::uint32_t> next = std::nullopt;
    int id = 0;
    GameState game = GameState::Running;
};
const auto none = std::nullopt;

struct PadCase {
    std::string name;
    std::vector<Step> steps;
};

TEST(Gamepads, StepsGiveTheirActions) {
    const std::vector<PadCase> cases{
        {"ButtonsActOnceWhenPressedANewPadHavingNothingPressed",
         {{0, "AB", {action, newGameKey}},
          {1, "AB", {}},
          {2, "", {}},
          {3, "D", {action}},
          {4, "S", {pause}}}},
        {"AHeldDirectionRepeatsAfterADelayThenSteadilyALateWakeOnceBeforeNews",
         {{1000, "L", {left}, 1400},
          {1399, none, {}, 1400},
          {1400, none, {left}, 1500},
          {2000, "LA", {left, action}, 2100},
          {2050, "", {}}}},
        {"TheStickHoldsADirectionOutsideItsDeadZoneAndOppositesCancel",
         {{0, "~", {}},
          {1, ">", {right}, 401},
          {2, "<", {left}, 402},
          {3, "<L", {}, 402},
          {4, "<R", {}}}},
        {"APadGoingAwayPausesOnlyARunningGame",
         {{0, "L", {left}, 400},
          {1, "-", {pause}},
          {2, "", {}},
          {3, "-", {}, none, 0, GameState::Paused},
          {5, "-", {}, none, 7}}},
        {"PadsPressAndHoldApart",
         {{0, "A", {action}},
          {1, "AR", {right, action}, 401, 1},
          {3, "", {}, 401},
          {401, none, {right}, 501}}},
        {"DeadlinesWrapWithTheClock",
         {{0xFFFF'FF00u, "L", {left}, 0x90}, {0x8F, none, {}, 0x90}, {0x90, none, {left}, 0xF4}}}};
    for (const PadCase& padCase : cases) {
        Gamepads pads;
        for (std::size_t i = 0; i < padCase.steps.size(); ++i) {
            const Step& step = padCase.steps[i];
            SCOPED_TRACE(padCase.name + ", step " + std::to_string(i));
            EXPECT_EQ(step.held ? pads.update(step.id, pad(*step.held), step.at, step.game)
                                : pads.repeat(step.at),
                      step.expected);
            EXPECT_EQ(pads.nextDeadline(), step.next);
        }
    }
}

} // namespace
} // namespace plonta
