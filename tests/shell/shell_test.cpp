// The SDL program on SDL's dummy video driver: start-up, keys, ticks, exit status, and play
// going on when the display cannot be made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/sdl/sdl_shell.h"

namespace plonta {
namespace {

std::uint64_t fakeNow = 0;
std::uint64_t fakeClock() {
    return fakeNow;
}

// The real SDL calls, counting the frames presented.
int presents = 0;
void countingPresent(SDL_Renderer* renderer) {
    ++presents;
    SDL_RenderPresent(renderer);
}
const SdlDisplayCalls& countingCalls() {
    static SdlDisplayCalls calls = [] {
        SdlDisplayCalls made = sdlDisplayCalls();
        made.renderPresent = countingPresent;
        return made;
    }();
    return calls;
}

class ShellTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 1); }

    void SetUp() override {
        fakeNow = 50'000;
        presents = 0;
    }

    void start(SdlShell& shell) {
        ASSERT_TRUE(shell.startUp());
        settle(shell);
    }

    // Lets start-up's own window events go by, so counts below see only the test's events.
    static void settle(SdlShell& shell) {
        for (int pass = 0; pass < 3; ++pass) pushUserEvent(), shell.runPass();
    }

    static void pushUserEvent() {
        SDL_Event event{};
        event.type = SDL_USEREVENT;
        SDL_PushEvent(&event);
    }

    static void pushKey(SDL_Scancode scancode, bool repeat = false, Uint32 type = SDL_KEYDOWN) {
        SDL_Event event{};
        event.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }

    // Sends one key and handles it, the tick not being due.
    static void press(SdlShell& shell, SDL_Scancode scancode, bool repeat = false) {
        pushKey(scancode, repeat);
        shell.runPass();
    }
};

TEST_F(ShellTest, StartUpShowsTheFixedWindowAndTheFirstFrame) {
    SdlShell shell(countingCalls(), fakeClock);
    ASSERT_TRUE(shell.startUp());
    const FrontEnd& front = shell.frontEnd();
    EXPECT_TRUE(front.displayReady);
    EXPECT_TRUE(front.keepRunning);
    EXPECT_TRUE(front.active);
    EXPECT_EQ(presents, 1);
    EXPECT_STREQ(SDL_GetWindowTitle(shell.window()), "Plonta-Test");
    int width = 0, height = 0;
    SDL_GetWindowSize(shell.window(), &width, &height);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 500);
    const Uint32 flags = SDL_GetWindowFlags(shell.window());
    EXPECT_FALSE(flags & SDL_WINDOW_RESIZABLE);
    EXPECT_FALSE(flags & SDL_WINDOW_OPENGL);
    EXPECT_FALSE(SDL_IsTextInputActive());
    EXPECT_EQ(front.game.state, GameState::Ready);
    for (DrawingHandle handle : front.drawer.drawingObjects) EXPECT_NE(handle, 0u);
    shell.frontEnd().shutDown();
    EXPECT_EQ(shell.display().renderer, nullptr);
}

TEST_F(ShellTest, KeyEventsBecomeCommandsAndFrames) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    const Game& game = shell.frontEnd().game;
    int expected = presents;
    press(shell, SDL_SCANCODE_SPACE);
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(presents, ++expected);
    press(shell, SDL_SCANCODE_RIGHT);
    EXPECT_EQ(game.player.paddleLane, 3);
    press(shell, SDL_SCANCODE_LEFT);
    press(shell, SDL_SCANCODE_LEFT);
    EXPECT_EQ(game.player.paddleLane, 1);
    press(shell, SDL_SCANCODE_DOWN);
    expected += 4;
    EXPECT_EQ(presents, expected);
    press(shell, SDL_SCANCODE_KP_0);
    EXPECT_EQ(game.state, GameState::Paused);
    EXPECT_EQ(presents, expected);
}

TEST_F(ShellTest, AutoRepeatCountsLikeAPress) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    pushKey(SDL_SCANCODE_LEFT);
    pushKey(SDL_SCANCODE_LEFT, true);
    pushKey(SDL_SCANCODE_LEFT, true);
    pushKey(SDL_SCANCODE_LEFT, false, SDL_KEYUP);
    shell.runPass();
    EXPECT_EQ(shell.frontEnd().game.player.paddleLane, 0);
}

TEST_F(ShellTest, OtherKeysAndKeyUpsDoNothing) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    const int before = presents;
    for (SDL_Scancode scancode : {SDL_SCANCODE_UP, SDL_SCANCODE_A, SDL_SCANCODE_RETURN,
                                  SDL_SCANCODE_KP_1, SDL_SCANCODE_INSERT})
        press(shell, scancode);
    pushKey(SDL_SCANCODE_SPACE, false, SDL_KEYUP);
    shell.runPass();
    EXPECT_EQ(shell.frontEnd().game.state, GameState::Ready);
    EXPECT_EQ(shell.frontEnd().game.player.paddleLane, 2);
    EXPECT_EQ(presents, before);
}

TEST_F(ShellTest, TicksFollowTheClockAndRepaint) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    press(shell, SDL_SCANCODE_SPACE);
    const Game& game = shell.frontEnd().game;
    const int before = presents;
    fakeNow += 249;
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(game.spawnCounter, 0);
    fakeNow += 1;
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(game.spawnCounter, 1);
    EXPECT_EQ(presents, before + 1);
    // A stall of two seconds is one tick, not eight.
    fakeNow += 2000;
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(game.spawnCounter, 2);
}

TEST_F(ShellTest, MinimisedWindowSkipsTicks) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    press(shell, SDL_SCANCODE_SPACE);
    shell.frontEnd().active = false;
    fakeNow += 1000;
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(shell.frontEnd().game.spawnCounter, 0);
}

TEST_F(ShellTest, AnEndedReplayStaysStillThroughMinimiseAndRestoreUntilAKey) {
    SdlShell shell(countingCalls(), fakeClock);
    Recording recording;
    std::string error;
    ASSERT_TRUE(readRecording("seed 3\nspace\ntick 1\n", recording, error));
    shell.frontEnd().playBack(std::move(recording), 1);
    start(shell);
    fakeNow += 250;
    pushUserEvent();
    shell.runPass();
    ASSERT_FALSE(shell.frontEnd().replaying());
    EXPECT_FALSE(shell.schedule().running());
    // Back from the taskbar: the window events of a restore.
    shell.frontEnd().active = false;
    SDL_Event restored{};
    restored.type = SDL_WINDOWEVENT;
    restored.window.event = SDL_WINDOWEVENT_RESTORED;
    SDL_PushEvent(&restored);
    shell.runPass();
    EXPECT_TRUE(shell.frontEnd().active);
    EXPECT_FALSE(shell.schedule().running()) << "the loop would wake for ticks that never come";
    press(shell, SDL_SCANCODE_LEFT);
    EXPECT_EQ(shell.frontEnd().game.player.paddleLane, 1);
    EXPECT_TRUE(shell.schedule().running());
}

TEST_F(ShellTest, EscapeEndsWith27AndNothingAfterIt) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    pushKey(SDL_SCANCODE_ESCAPE);
    pushKey(SDL_SCANCODE_RIGHT);
    shell.runLoop();
    EXPECT_FALSE(shell.frontEnd().keepRunning);
    EXPECT_EQ(shell.frontEnd().exitStatus, 27);
    EXPECT_EQ(shell.frontEnd().game.player.paddleLane, 2);
}

TEST_F(ShellTest, ClosingEndsWith0) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    shell.runLoop();
    EXPECT_EQ(shell.frontEnd().exitStatus, 0);
}

TEST_F(ShellTest, LostRenderTargetsArePaintedAgain) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    const int before = presents;
    SDL_Event reset{};
    reset.type = SDL_RENDER_TARGETS_RESET;
    SDL_PushEvent(&reset);
    shell.runPass();
    EXPECT_TRUE(shell.frontEnd().displayReady);
    EXPECT_EQ(presents, before + 1);
    reset.type = SDL_RENDER_DEVICE_RESET;
    SDL_PushEvent(&reset);
    shell.runPass();
    EXPECT_TRUE(shell.frontEnd().displayReady);
    EXPECT_NE(shell.display().renderer, nullptr);
    EXPECT_EQ(presents, before + 2);
}

// The real SDL calls, with one step made to fail and every call logged.
std::vector<std::string> callLog;
std::string failAt;

SDL_Renderer* createRenderer(SDL_Window* window, int index, Uint32 flags) {
    callLog.push_back("createRenderer");
    return failAt == "renderer" ? nullptr : SDL_CreateRenderer(window, index, flags);
}
void destroyRenderer(SDL_Renderer* renderer) {
    callLog.push_back("destroyRenderer");
    SDL_DestroyRenderer(renderer);
}
SDL_Texture* createTexture(SDL_Renderer* renderer, Uint32 format, int access, int width,
                           int height) {
    callLog.push_back("createTexture");
    return failAt == "texture" ? nullptr
                               : SDL_CreateTexture(renderer, format, access, width, height);
}
void destroyTexture(SDL_Texture* texture) {
    callLog.push_back("destroyTexture");
    SDL_DestroyTexture(texture);
}
std::unique_ptr<CairoCanvas> createCanvas(int width, int height) {
    callLog.push_back("createCanvas");
    return failAt == "canvas" ? nullptr : sdlDisplayCalls().createCanvas(width, height);
}
int updateTexture(SDL_Texture*, const SDL_Rect*, const void*, int) {
    ADD_FAILURE() << "painted without a display";
    return -1;
}

const SdlDisplayCalls failingCalls{SDL_GetWindowSize, createRenderer, destroyRenderer,
                                   createTexture,     destroyTexture, createCanvas,
                                   updateTexture,     SDL_RenderCopy, SDL_RenderPresent};

struct NoDisplayCase {
    const char* step;
    const char* named;
    std::vector<std::string> callLog;
};

class NoDisplay : public ShellTest, public testing::WithParamInterface<NoDisplayCase> {};

TEST_P(NoDisplay, GameGoesOnInABlackWindow) {
    callLog.clear();
    failAt = GetParam().step;
    SdlShell shell(failingCalls, fakeClock);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(shell.startUp());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(callLog, GetParam().callLog);
    EXPECT_FALSE(shell.frontEnd().displayReady);
    // One line on stderr naming the failed step.
    EXPECT_NE(said.find(GetParam().named), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;

    settle(shell);
    const Game& game = shell.frontEnd().game;
    press(shell, SDL_SCANCODE_SPACE);
    EXPECT_EQ(game.state, GameState::Running);
    press(shell, SDL_SCANCODE_RIGHT);
    EXPECT_EQ(game.player.paddleLane, 3);
    for (int tick = 0; tick < 12; ++tick) {
        fakeNow += 250;
        pushUserEvent();
        shell.runPass();
    }
    EXPECT_EQ(game.spawnCounter, 2); // twelve ticks: one spawn at the tenth, counted again since

    pushKey(SDL_SCANCODE_ESCAPE);
    shell.runLoop();
    EXPECT_EQ(shell.frontEnd().exitStatus, 27);
    callLog.clear();
    shell.frontEnd().shutDown();
    EXPECT_TRUE(callLog.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, NoDisplay,
    testing::Values(NoDisplayCase{"renderer", "SDL_CreateRenderer", {"createRenderer"}},
                    NoDisplayCase{"texture",
                                  "SDL_CreateTexture",
                                  {"createRenderer", "createTexture", "destroyRenderer"}},
                    NoDisplayCase{"canvas",
                                  "CairoCanvas",
                                  {"createRenderer", "createTexture", "createCanvas",
                                   "destroyTexture", "destroyRenderer"}}),
    [](const testing::TestParamInfo<NoDisplayCase>& param) {
        return std::string(param.param.step);
    });

} // namespace
} // namespace plonta
