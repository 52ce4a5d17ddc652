// The Win32 shell's message handling on a window that needs no screen, with stand-in
// DirectDraw: activation and minimising, keys and their return values, paints with and without
// a display, the timer, and the two ways out.
#include <gtest/gtest.h>

#include "shell/win32/win32_dpi.h"
#include "shell/win32/win32_shell.h"
#include "tests/frontend/string_sink.h"
#include "tests/present/fake_ddraw.h"

namespace plonta::test {
namespace {

using Calls = std::vector<std::string>;

const Calls onePaint{"back.Blt", "back.GetDC", "back.ReleaseDC", "primary.Blt"};

// What the shell told the player, instead of message boxes that would wait for a click.
std::vector<std::string> notices;
void takeNotice(HWND, const char* text) {
    notices.push_back(text);
}

class Win32ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetFakeWorld();
        notices.clear();
        shell.showBox = takeNotice;
    }
    void TearDown() override {
        if (shell.window() != nullptr) DestroyWindow(shell.window());
    }

    void start() {
        ASSERT_TRUE(shell.openWindow({}));
        shell.frontEnd().startUp();
        mark();
    }
    // The timer's procedure, as the loop would call it.
    void timerFires() { TimerProc(shell.window(), WM_TIMER, 1, 0); }
    void mark() { seen = fakeWorld().calls.size(); }
    // The DirectDraw calls since the last mark.
    Calls newCalls() {
        const Calls& calls = fakeWorld().calls;
        Calls fresh(calls.begin() + static_cast<std::ptrdiff_t>(seen), calls.end());
        mark();
        return fresh;
    }
    // Dispatches what waits for the window, as the loop would; the WM_QUIT of an earlier
    // test's window stays where it is.
    void dispatchWaiting() {
        MSG message{};
        while (PeekMessageA(&message, shell.window(), 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        return shell.handleMessage(shell.window(), message, wParam, lParam);
    }
    const Game& game() { return shell.frontEnd().game(); }

    Win32Shell shell{Win32Start{GetModuleHandleA(nullptr), nullptr, SW_HIDE, HWND_MESSAGE},
                     fakeDirectDrawCreateEx};
    std::size_t seen = 0;
};

TEST_F(Win32ShellTest, StartUpMakesTheDisplayThenPaintsTheFirstFrame) {
    start();
    const Calls& calls = fakeWorld().calls;
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls.front(), "DirectDrawCreateEx");
    EXPECT_EQ(Calls(calls.end() - 4, calls.end()), onePaint);
    EXPECT_TRUE(shell.frontEnd().running());
    EXPECT_EQ(game().state, GameState::Ready);
    char name[32]{};
    GetClassNameA(shell.window(), name, sizeof name);
    EXPECT_STREQ(name, "DDWinClass");
    GetWindowTextA(shell.window(), name, sizeof name);
    EXPECT_STREQ(name, "Plonta-Test");
}

TEST_F(Win32ShellTest, OnlyTheMinimisedFlagOfActivationStopsTicks) {
    start();
    // Deactivated by another window, not minimised: the game goes on.
    send(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0)), 0);
    timerFires();
    EXPECT_EQ(game().spawnCounter, 1);
    EXPECT_EQ(send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1)), 0);
    mark();
    timerFires();
    EXPECT_EQ(game().spawnCounter, 1);
    EXPECT_TRUE(newCalls().empty());
    send(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0));
    timerFires();
    EXPECT_EQ(game().spawnCounter, 2);
    EXPECT_EQ(newCalls(), onePaint);
}

TEST_F(Win32ShellTest, SizeChangesTellMinimisingWithoutActivation) {
    start();
    send(WM_KEYDOWN, VK_SPACE);
    send(WM_SIZE, SIZE_MINIMIZED);
    timerFires();
    send(WM_SIZE, SIZE_MAXIMIZED);
    timerFires();
    EXPECT_EQ(game().spawnCounter, 0);
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(394, 475));
    timerFires();
    EXPECT_EQ(game().spawnCounter, 1);
}

TEST_F(Win32ShellTest, EscapeEndsWith27WithoutDefaultProcessing) {
    start();
    EXPECT_EQ(send(WM_KEYDOWN, VK_ESCAPE, 0x00010001), 0);
    EXPECT_FALSE(shell.frontEnd().running());
    EXPECT_EQ(shell.frontEnd().exitStatus(), 27);
    EXPECT_TRUE(newCalls().empty()); // no repaint after Escape
}

TEST_F(Win32ShellTest, GameKeysRunTheirCommandAndRepaintButThePause) {
    start();
    send(WM_KEYDOWN, VK_SPACE, 0x00390001);
    EXPECT_EQ(game().state, GameState::Running);
    EXPECT_EQ(newCalls(), onePaint);
    send(WM_KEYDOWN, VK_LEFT, 0x014B0001);
    EXPECT_EQ(game().player.paddleLane, 1);
    EXPECT_EQ(newCalls(), onePaint);
    send(WM_KEYDOWN, VK_NUMPAD0, 0x00520001);
    EXPECT_EQ(game().state, GameState::Paused);
    EXPECT_TRUE(newCalls().empty());
    // Keypad 0 with NumLock off comes as an Insert without the extended flag, unlike the
    // Insert key of the editing block.
    send(WM_KEYDOWN, VK_INSERT, 0x00520001);
    EXPECT_EQ(game().state, GameState::Running);
    send(WM_KEYDOWN, 'P', 0x00190001);
    send(WM_KEYDOWN, VK_PAUSE, 0x00450001);
    send(WM_KEYDOWN, VK_PAUSE, 0x00450001);
    EXPECT_EQ(game().state, GameState::Paused);
    mark();
    for (const auto& [key, data] : {std::pair<WPARAM, LPARAM>{'A', 0x001E0001},
                                    {VK_INSERT, 0x01520001},
                                    {VK_UP, 0x01480001},
                                    {VK_END, 0x004F0001}}) // keypad 1 with NumLock off
        send(WM_KEYDOWN, key, data);
    EXPECT_EQ(game().state, GameState::Paused);
    EXPECT_EQ(game().player.paddleLane, 1);
    EXPECT_TRUE(newCalls().empty());
}

TEST_F(Win32ShellTest, WithoutADisplayPaintsCallNoDirectDrawAndPlayGoesOn) {
    fakeWorld().results["DirectDrawCreateEx"] = DDERR_NODIRECTDRAWHW;
    start();
    send(WM_PAINT, 0);
    send(WM_KEYDOWN, VK_SPACE);
    timerFires();
    EXPECT_EQ(game().state, GameState::Running);
    EXPECT_EQ(game().spawnCounter, 1);
    EXPECT_TRUE(newCalls().empty());
}

TEST_F(Win32ShellTest, ClosingThroughWmDestroyEndsTheLoopWith0) {
    start();
    EXPECT_EQ(send(WM_DESTROY, 0), 0);
    for (int pass = 0; pass < 100 && shell.frontEnd().running(); ++pass) shell.dispatchOne();
    EXPECT_FALSE(shell.frontEnd().running());
    EXPECT_EQ(shell.frontEnd().exitStatus(), 0);
}

TEST_F(Win32ShellTest, LoggingOffClosesTheRecordingBeforeTheProcessMayEnd) {
    std::string file;
    bool closed = false;
    shell.frontEnd().record(std::make_unique<StringSink>(file, 0, &closed), "game.sim",
                            "plonta.exe");
    start();
    send(WM_KEYDOWN, VK_SPACE);
    timerFires();
    EXPECT_NE(send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
    // Someone else said no: play and recording go on.
    EXPECT_EQ(send(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF), 0);
    EXPECT_TRUE(shell.frontEnd().running());
    EXPECT_FALSE(closed);
    EXPECT_EQ(send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF), 0);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(shell.frontEnd().running());
    EXPECT_EQ(shell.frontEnd().exitStatus(), 0);
    EXPECT_TRUE(file.ends_with("\nspace\ntick 1\n")) << file;
}

TEST_F(Win32ShellTest, AFailedRecordingIsKeptToBeToldAfterTheGame) {
    std::string file;
    shell.frontEnd().record(std::make_unique<StringSink>(file, 2), "D:\\game.sim", "plonta.exe");
    start();
    send(WM_KEYDOWN, VK_SPACE);
    timerFires();
    EXPECT_EQ(game().spawnCounter, 1);
    EXPECT_EQ(shell.recordingProblem(), "plonta: D:\\game.sim: No space left on device; "
                                        "recording stopped, the game goes on");
}

TEST_F(Win32ShellTest, ShutDownGivesTheDirectDrawObjectsBack) {
    start();
    shell.frontEnd().key(quitKey);
    shell.frontEnd().shutDown();
    EXPECT_EQ(newCalls(),
              (Calls{"back.Release", "clipper.Release", "primary.Release", "directDraw.Release"}));
    EXPECT_EQ(fakeWorld().liveObjects, 0);
}

TEST_F(Win32ShellTest, AFailedSetUpIsToldOnceNamingTheCallAndItsCode) {
    fakeWorld().results["clipper.SetHWnd"] = DDERR_INVALIDPARAMS;
    start();
    EXPECT_TRUE(notices.empty()); // not from inside the set-up
    dispatchWaiting();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("SetHWnd failed with error 0x80070057"), std::string::npos)
        << notices[0];

    // Restored, the set-up is tried again; its failure is not told again.
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(394, 475));
    dispatchWaiting();
    EXPECT_EQ(fakeWorld().count("DirectDrawCreateEx"), 2);
    EXPECT_EQ(notices.size(), 1u);
    send(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(game().state, GameState::Running);
}

// Shown minimised, as a "Run: Minimized" shortcut starts the program.
TEST_F(Win32ShellTest, StartedMinimisedTheDisplayIsSetUpAtTheRestore) {
    Win32Shell minimised{
        Win32Start{GetModuleHandleA(nullptr), nullptr, SW_SHOWMINNOACTIVE, HWND_MESSAGE},
        fakeDirectDrawCreateEx};
    minimised.showBox = takeNotice;
    ASSERT_TRUE(minimised.openWindow({}));
    minimised.frontEnd().startUp();
    ASSERT_TRUE(IsIconic(minimised.window()));
    EXPECT_EQ(fakeWorld().count("DirectDrawCreateEx"), 0);
    MSG message{};
    while (PeekMessageA(&message, minimised.window(), 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_TRUE(notices.empty()); // waiting for an area is no failure

    mark();
    ShowWindow(minimised.window(), SW_RESTORE);
    const Calls calls = newCalls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls.front(), "DirectDrawCreateEx");
    EXPECT_EQ(Calls(calls.end() - 4, calls.end()), onePaint);
    EXPECT_GT(fakeWorld().backWidth, 0u);
    EXPECT_GT(fakeWorld().backHeight, 0u);
    minimised.handleMessage(minimised.window(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(newCalls(), onePaint);
    DestroyWindow(minimised.window());
}

} // namespace
} // namespace plonta::test
