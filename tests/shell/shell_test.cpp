// The SDL program on SDL's dummy video driver: start-up, keys, ticks, exit status, and play
// going on when the display cannot be made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "shell/sdl/sdl_shell.h"
#include "shell/sdl/video_driver.h"

namespace plonta {
namespace {

std::uint64_t fakeNow = 0;
std::uint64_t fakeClock() {
    return fakeNow;
}

// The real SDL calls, counting what is sent to the window.
int presents = 0;
int countingUpdate(SDL_Window* window, const SDL_Rect* rects, int count) {
    ++presents;
    return SDL_UpdateWindowSurfaceRects(window, rects, count);
}
const SdlDisplayCalls& countingCalls() {
    static SdlDisplayCalls calls = [] {
        SdlDisplayCalls made = sdlDisplayCalls();
        made.updateWindowSurfaceRects = countingUpdate;
        return made;
    }();
    return calls;
}

// A pixel of the window as the shell last drew it, at (x, y) of the frame at scale 1.
Colour shown(SdlShell& shell, int x, int y) {
    const SdlDisplay& display = shell.display();
    const SDL_Surface* surface = display.surface;
    const FrameScale n = display.scale;
    const int wx = display.frameRect.x + (n.edge(x) + n.edge(x + 1)) / 2;
    const int wy = display.frameRect.y + (n.edge(y) + n.edge(y + 1)) / 2;
    std::uint32_t word = 0;
    std::memcpy(&word, static_cast<const Uint8*>(surface->pixels) + wy * surface->pitch + 4 * wx,
                4);
    return rgb(static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
               static_cast<std::uint8_t>(word));
}

// The lane the white paddle stands in, as the window shows it; -1 for none.
int paddleLaneShown(SdlShell& shell) {
    for (int lane = 0; lane < 5; ++lane)
        if (shown(shell, 75 + 60 * lane, 270) == rgb(255, 255, 255)) return lane;
    return -1;
}

class ShellTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void SetUp() override {
        fakeNow = 50'000;
        presents = 0;
    }

    static void start(SdlShell& shell, const CommandLine& options = {}) {
        ASSERT_TRUE(shell.openWindow(options));
        shell.frontEnd().startUp();
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

    static void pushKey(SDL_Scancode scancode, bool repeat = false, Uint32 type = SDL_KEYDOWN,
                        Uint16 modifiers = KMOD_NONE) {
        SDL_Event event{};
        event.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = modifiers;
        SDL_PushEvent(&event);
    }

    // Sends one key and handles it, the tick not being due.
    static void press(SdlShell& shell, SDL_Scancode scancode, bool repeat = false) {
        pushKey(scancode, repeat);
        shell.runPass();
    }

    static void pushWindowEvent(Uint8 what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        SDL_PushEvent(&event);
    }
};

TEST_F(ShellTest, StartUpShowsTheFixedWindowAndTheFirstFrame) {
    SdlShell shell(countingCalls(), fakeClock);
    ASSERT_TRUE(shell.openWindow({}));
    shell.frontEnd().startUp();
    const FrontEnd& front = shell.frontEnd();
    EXPECT_TRUE(front.running());
    EXPECT_TRUE(shell.schedule().running());
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
    EXPECT_EQ(front.game().state, GameState::Ready);
    EXPECT_EQ(shell.display().scale, 1);
    EXPECT_EQ(shown(shell, 35, 400), rgb(255, 0, 0));
    EXPECT_EQ(paddleLaneShown(shell), 2);
    shell.frontEnd().shutDown();
    EXPECT_EQ(shell.display().surface, nullptr);
}

// A finger as the page takes it: a tap starts, a tap in a lane's column takes the paddle there,
// a drag follows the finger until it is lifted; off the frame it is nothing.
TEST_F(ShellTest, FingersSteerAsOnThePage) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    const Game& game = shell.frontEnd().game();
    const auto finger = [&shell](Uint32 type, float x, float y) {
        SDL_Event event{};
        event.type = type;
        event.tfinger.fingerId = 7;
        event.tfinger.x = x / 400;
        event.tfinger.y = y / 500;
        SDL_PushEvent(&event);
        shell.runPass();
    };
    finger(SDL_FINGERDOWN, 200, 100);
    finger(SDL_FINGERUP, 200, 100);
    EXPECT_EQ(game.state, GameState::Running);
    finger(SDL_FINGERDOWN, 390, 100);
    EXPECT_EQ(game.player.paddleLane, 4);
    finger(SDL_FINGERMOTION, 130, 120);
    EXPECT_EQ(game.player.paddleLane, 1);
    finger(SDL_FINGERUP, 130, 120);
    finger(SDL_FINGERMOTION, 10, 120);
    finger(SDL_FINGERDOWN, 410, 100);
    EXPECT_EQ(game.player.paddleLane, 1);
    EXPECT_EQ(paddleLaneShown(shell), 1);
}

TEST_F(ShellTest, KeyEventsBecomeCommandsAndFrames) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    const Game& game = shell.frontEnd().game();
    int expected = presents;
    press(shell, SDL_SCANCODE_SPACE);
    EXPECT_EQ(game.state, GameState::Running);
    EXPECT_EQ(presents, ++expected);
    press(shell, SDL_SCANCODE_RIGHT);
    EXPECT_EQ(game.player.paddleLane, 3);
    EXPECT_EQ(paddleLaneShown(shell), 3);
    press(shell, SDL_SCANCODE_LEFT);
    press(shell, SDL_SCANCODE_LEFT);
    EXPECT_EQ(game.player.paddleLane, 1);
    EXPECT_EQ(paddleLaneShown(shell), 1);
    EXPECT_EQ(presents, expected + 3);
    press(shell, SDL_SCANCODE_DOWN);
    expected = presents;
    press(shell, SDL_SCANCODE_KP_0);
    EXPECT_EQ(game.state, GameState::Paused);
    EXPECT_EQ(presents, expected);
    press(shell, SDL_SCANCODE_P);
    EXPECT_EQ(game.state, GameState::Running);
    press(shell, SDL_SCANCODE_PAUSE);
    EXPECT_EQ(game.state, GameState::Paused);
}

TEST_F(ShellTest, KeypadArrowsMoveAndDropOnlyWithNumLockOff) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    const Game& game = shell.frontEnd().game();
    const auto keypad = [&shell](SDL_Scancode scancode, Uint16 modifiers) {
        pushKey(scancode, false, SDL_KEYDOWN, modifiers);
        shell.runPass();
    };
    keypad(SDL_SCANCODE_KP_4, KMOD_NUM);
    keypad(SDL_SCANCODE_KP_2, KMOD_NUM | KMOD_SHIFT);
    EXPECT_EQ(game.player.paddleLane, 2);
    EXPECT_EQ(game.state, GameState::Ready);
    keypad(SDL_SCANCODE_KP_4, KMOD_NONE);
    keypad(SDL_SCANCODE_KP_4, KMOD_CAPS);
    EXPECT_EQ(game.player.paddleLane, 0);
    keypad(SDL_SCANCODE_KP_6, KMOD_NONE);
    EXPECT_EQ(game.player.paddleLane, 1);
    keypad(SDL_SCANCODE_KP_2, KMOD_NONE);
    EXPECT_EQ(game.state, GameState::Running);
    keypad(SDL_SCANCODE_KP_0, KMOD_NUM);
    EXPECT_EQ(game.state, GameState::Paused);
    keypad(SDL_SCANCODE_KP_0, KMOD_NONE);
    EXPECT_EQ(game.state, GameState::Running);
}

TEST_F(ShellTest, AutoRepeatCountsLikeAPress) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    pushKey(SDL_SCANCODE_LEFT);
    pushKey(SDL_SCANCODE_LEFT, true);
    pushKey(SDL_SCANCODE_LEFT, true);
    pushKey(SDL_SCANCODE_LEFT, false, SDL_KEYUP);
    shell.runPass();
    EXPECT_EQ(shell.frontEnd().game().player.paddleLane, 0);
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
    EXPECT_EQ(shell.frontEnd().game().state, GameState::Ready);
    EXPECT_EQ(shell.frontEnd().game().player.paddleLane, 2);
    EXPECT_EQ(presents, before);
}

TEST_F(ShellTest, TicksFollowTheClockAndRepaint) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    press(shell, SDL_SCANCODE_SPACE);
    const Game& game = shell.frontEnd().game();
    fakeNow += 249;
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(game.spawnCounter, 0);
    fakeNow += 1;
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(game.spawnCounter, 1);
    // A stall of two seconds is one tick, not eight.
    fakeNow += 2000;
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(game.spawnCounter, 2);
    // The tenth tick brings a tile, and its frame shows it a cell down its lane.
    const int before = presents;
    for (int tick = 3; tick <= 10; ++tick) {
        fakeNow += 250;
        pushUserEvent();
        shell.runPass();
    }
    EXPECT_GT(presents, before);
    int lanesWithATile = 0;
    for (int lane = 0; lane < 4; ++lane)
        lanesWithATile += shown(shell, 80 + 60 * lane, 77) != rgb(0, 0, 0);
    EXPECT_EQ(lanesWithATile, 1);
}

TEST_F(ShellTest, MinimisedWindowSkipsTicks) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    press(shell, SDL_SCANCODE_SPACE);
    shell.frontEnd().minimised(true);
    EXPECT_EQ(shell.schedule().msUntilDue(), -1) << "the loop sleeps until the window has news";
    fakeNow += 1000;
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(shell.frontEnd().game().spawnCounter, 0);
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
    shell.frontEnd().minimised(true);
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    shell.runPass();
    EXPECT_FALSE(shell.schedule().running()) << "the loop would wake for ticks that never come";
    press(shell, SDL_SCANCODE_LEFT);
    EXPECT_EQ(shell.frontEnd().game().player.paddleLane, 1);
    EXPECT_TRUE(shell.schedule().running());
}

// A controller SDL makes up, played through SDL's own events as a plugged-in pad would be.
TEST_F(ShellTest, AVirtualControllerPlaysAndPausesWhenUnplugged) {
    // The dummy driver's window never has the focus, without which SDL drops a pad's input.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    const Game& game = shell.frontEnd().game();
    const auto button = [&](SDL_GameControllerButton which, bool down) {
        SDL_JoystickSetVirtualButton(joystick, which, down ? 1 : 0);
        pushUserEvent();
        shell.runPass();
    };
    button(SDL_CONTROLLER_BUTTON_A, false); // the controller comes
    button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(game.state, GameState::Running);
    // Down and up within one pass: the press still counts.
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_BACK, 1);
    SDL_JoystickUpdate();
    button(SDL_CONTROLLER_BUTTON_BACK, false);
    EXPECT_EQ(game.state, GameState::Ready);
    button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(paddleLaneShown(shell), 1);
    // Held, it repeats 400 ms on, when the loop wakes for it.
    fakeNow += 400;
    shell.runPass();
    EXPECT_EQ(game.player.paddleLane, 0);
    button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    SDL_JoystickDetachVirtual(index);
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(game.state, GameState::Paused);
    SDL_JoystickClose(joystick);
}

TEST_F(ShellTest, EscapeEndsWith27AndNothingAfterIt) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    pushKey(SDL_SCANCODE_ESCAPE);
    pushKey(SDL_SCANCODE_RIGHT);
    shell.runLoop();
    EXPECT_FALSE(shell.frontEnd().running());
    EXPECT_EQ(shell.frontEnd().exitStatus(), 27);
    EXPECT_EQ(shell.frontEnd().game().player.paddleLane, 2);
}

TEST_F(ShellTest, ClosingEndsWith0) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    shell.runLoop();
    EXPECT_EQ(shell.frontEnd().exitStatus(), 0);
}

TEST_F(ShellTest, ANewWindowSizeIsDrawnAtItsScale) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    SDL_SetWindowSize(shell.window(), 1200, 1500);
    pushUserEvent();
    shell.runPass();
    EXPECT_EQ(shell.display().scale, 3);
    EXPECT_EQ(shown(shell, 35, 400), rgb(255, 0, 0));
    EXPECT_EQ(paddleLaneShown(shell), 2);
}

TEST_F(ShellTest, ScaleTooLargeForTheScreenOpensTheLargestThatFits) {
    SdlShell shell(countingCalls(), fakeClock);
    CommandLine options;
    options.scale = 2;
    start(shell, options);
    int width = 0, height = 0;
    SDL_GetWindowSize(shell.window(), &width, &height);
    // The dummy screen is 1024 by 768: 1000 high would hide the bin.
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 500);
    EXPECT_EQ(shell.display().scale, 1);
    EXPECT_EQ(shown(shell, 200, 450), rgb(255, 0, 0));
}

TEST_F(ShellTest, F11GoesFullscreenWithoutThePointerAndBack) {
    SdlShell shell(countingCalls(), fakeClock);
    start(shell);
    press(shell, SDL_SCANCODE_F11);
    // The new size comes as the window's events, as from a window manager.
    settle(shell);
    EXPECT_TRUE(SDL_GetWindowFlags(shell.window()) & SDL_WINDOW_FULLSCREEN);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    // The dummy screen, 1024 by 768: the frame fills its height at 1.536, in its middle.
    EXPECT_EQ(shell.display().surface->w, 1024);
    EXPECT_EQ(shell.display().scale, FrameScale::ofThousandths(1536));
    EXPECT_EQ(shell.display().frameRect.x, 204);
    EXPECT_EQ(shown(shell, 35, 400), rgb(255, 0, 0));
    EXPECT_EQ(shell.frontEnd().game().state, GameState::Ready);
    press(shell, SDL_SCANCODE_F11);
    settle(shell);
    EXPECT_FALSE(SDL_GetWindowFlags(shell.window()) & SDL_WINDOW_FULLSCREEN);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    press(shell, SDL_SCANCODE_RIGHT);
    EXPECT_EQ(paddleLaneShown(shell), 3);
}

// The real SDL calls, with one step made to fail and every call logged.
std::vector<std::string> callLog;
std::string failAt;

SDL_Surface* getWindowSurface(SDL_Window* window) {
    callLog.push_back("getWindowSurface");
    return failAt == "surface" ? nullptr : SDL_GetWindowSurface(window);
}
std::unique_ptr<CairoCanvas> createCanvas(int width, int height) {
    callLog.push_back("createCanvas");
    return failAt == "canvas" ? nullptr : sdlDisplayCalls().createCanvas(width, height);
}
int updateWindowSurfaceRects(SDL_Window*, const SDL_Rect*, int) {
    ADD_FAILURE() << "painted without a display";
    return -1;
}

const SdlDisplayCalls failingCalls{getWindowSurface, updateWindowSurfaceRects, SDL_ConvertPixels,
                                   createCanvas};

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
    ASSERT_TRUE(shell.openWindow({}));
    shell.frontEnd().startUp();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(callLog, GetParam().callLog);
    // One line on stderr naming the failed step.
    EXPECT_NE(said.find(GetParam().named), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;

    settle(shell);
    // Restored from the taskbar the set-up is tried again, but the failure is not told twice.
    testing::internal::CaptureStderr();
    callLog.clear();
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    shell.runPass();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(callLog, GetParam().callLog);

    const Game& game = shell.frontEnd().game();
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
    EXPECT_EQ(shell.frontEnd().exitStatus(), 27);
    callLog.clear();
    shell.frontEnd().shutDown();
    EXPECT_TRUE(callLog.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, NoDisplay,
    testing::Values(NoDisplayCase{"surface", "SDL_GetWindowSurface", {"getWindowSurface"}},
                    NoDisplayCase{"canvas", "CairoCanvas", {"getWindowSurface", "createCanvas"}}),
    [](const testing::TestParamInfo<NoDisplayCase>& param) {
        return std::string(param.param.step);
    });

// A window that comes up without an area (as one started minimised can) gets its display when
// it has one.
bool windowHasArea = false;
SDL_Surface* emptySurface = nullptr;
SDL_Surface* surfaceOnlyWhenRestored(SDL_Window* window) {
    return windowHasArea ? SDL_GetWindowSurface(window) : emptySurface;
}

TEST_F(ShellTest, WindowWithoutAnAreaGetsItsDisplayWhenItHasOne) {
    SdlDisplayCalls calls = countingCalls();
    calls.getWindowSurface = surfaceOnlyWhenRestored;
    windowHasArea = false;
    emptySurface = SDL_CreateRGBSurfaceWithFormat(0, 0, 0, 32, SDL_PIXELFORMAT_RGB888);
    ASSERT_NE(emptySurface, nullptr);
    SdlShell shell(calls, fakeClock);
    testing::internal::CaptureStderr();
    start(shell);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // nothing failed: it waits
    EXPECT_EQ(presents, 0);

    windowHasArea = true;
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    shell.runPass();
    EXPECT_EQ(presents, 1);
    EXPECT_EQ(paddleLaneShown(shell), 2);
    press(shell, SDL_SCANCODE_RIGHT);
    EXPECT_EQ(presents, 2);
    EXPECT_EQ(paddleLaneShown(shell), 3);
    SDL_FreeSurface(emptySurface);
}

struct WaylandCase {
    const char* display;
    const char* socket;
    const char* runtimeDir;
    bool reachable;
};

class Wayland : public testing::TestWithParam<WaylandCase> {};

TEST_P(Wayland, IsTriedOnlyWithSomethingToConnectTo) {
    const WaylandCase& c = GetParam();
    EXPECT_EQ(waylandReachable(c.display, c.socket, c.runtimeDir), c.reachable);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, Wayland,
    testing::Values(WaylandCase{nullptr, nullptr, nullptr, false}, WaylandCase{"", "", "", false},
                    WaylandCase{"wayland-0", nullptr, nullptr, false},
                    WaylandCase{nullptr, nullptr, "/run/user/1000", true},
                    WaylandCase{"wayland-1", nullptr, "/run/user/1000", true},
                    WaylandCase{"/run/user/1000/wayland-0", nullptr, nullptr, true},
                    WaylandCase{nullptr, "5", nullptr, true}),
    [](const testing::TestParamInfo<WaylandCase>& param) {
        return "case" + std::to_string(param.index);
    });

// The list SDL gets instead of its own, which ends in the drivers that show nothing.
TEST(WindowDriverList, LeavesOutTheInvisibleAndAWaylandWithNothingToConnectTo) {
    const auto saved = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const std::optional<std::string> runtimeDir = saved("XDG_RUNTIME_DIR");
    const std::optional<std::string> display = saved("WAYLAND_DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("XDG_RUNTIME_DIR");
    const std::string withoutWayland = windowDriverList();
    setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    const std::string withWayland = windowDriverList();
    if (runtimeDir)
        setenv("XDG_RUNTIME_DIR", runtimeDir->c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
    if (display) setenv("WAYLAND_DISPLAY", display->c_str(), 1);

    EXPECT_EQ(withWayland.rfind("x11", 0), 0u) << withWayland; // first, as SDL has it
    EXPECT_NE(withWayland.find(",wayland"), std::string::npos) << withWayland;
    EXPECT_EQ(withoutWayland.find("wayland"), std::string::npos) << withoutWayland;
    for (const char* invisible : {"offscreen", "dummy", "evdev"})
        EXPECT_EQ(withWayland.find(invisible), std::string::npos) << withWayland;
}

struct ReasonCase {
    const char* display;
    const char* wayland;
    const char* reason;
};

class NoDisplayReason : public testing::TestWithParam<ReasonCase> {};

TEST_P(NoDisplayReason, NamesWhatIsMissingOrUnreachable) {
    EXPECT_EQ(noDisplayReason(GetParam().display, GetParam().wayland),
              std::string("no display to open a window on (") + GetParam().reason + ")");
}

INSTANTIATE_TEST_SUITE_P(
    Variables, NoDisplayReason,
    testing::Values(ReasonCase{nullptr, nullptr, "DISPLAY and WAYLAND_DISPLAY are not set"},
                    ReasonCase{"", "", "DISPLAY and WAYLAND_DISPLAY are not set"},
                    ReasonCase{":7", nullptr, "cannot reach DISPLAY=:7"},
                    ReasonCase{nullptr, "wayland-1", "cannot reach WAYLAND_DISPLAY=wayland-1"},
                    ReasonCase{":7", "wayland-1",
                               "cannot reach DISPLAY=:7 or WAYLAND_DISPLAY=wayland-1"},
                    ReasonCase{"a\nb", nullptr, "cannot reach DISPLAY=a b"}),
    [](const testing::TestParamInfo<ReasonCase>& param) {
        return "case" + std::to_string(param.index);
    });

TEST(OneLine, SdlMessagesKeepToOneLine) {
    EXPECT_EQ(oneLine("Could not initialize EGL\n"), "Could not initialize EGL");
    EXPECT_EQ(oneLine("first\r\nsecond"), "first  second");
}

} // namespace
} // namespace plonta
