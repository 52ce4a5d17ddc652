// The DirectDraw Display against stand-in objects: set-up order, failure at each step, release
// order, the paint cycle, and lost surfaces restored.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "present/ddraw/ddraw_display.h"
#include "tests/present/fake_ddraw.h"
#include "tests/win/dib.h"

namespace plonta::test {
namespace {

using Calls = std::vector<std::string>;

// A call's name without its punctuation, as GoogleTest wants test names.
std::string testName(const char* call) {
    std::string name;
    for (const char* c = call; *c != 0; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
    }
    return name;
}

const Calls setUpCalls{
    "DirectDrawCreateEx",
    "directDraw.SetCooperativeLevel",
    "directDraw.CreateSurface(primary)",
    "directDraw.CreateClipper",
    "clipper.SetHWnd",
    "primary.SetClipper",
    "directDraw.CreateSurface(back)",
};

class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetFakeWorld();
        // A real window for GetClientRect and ClientToScreen, message-only so that no screen
        // is needed.
        window = CreateWindowExA(0, "STATIC", "display test", 0, 120, 170, 400, 500, HWND_MESSAGE,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        GetClientRect(window, &client);
    }
    void TearDown() override {
        display.release();
        DestroyWindow(window);
    }

    bool allNull() const {
        return !display.backSurface && !display.primarySurface && !display.clipper &&
               !display.directDraw;
    }
    Calls callsAfter(std::size_t first) const {
        const Calls& calls = fakeWorld().calls;
        return Calls(calls.begin() + static_cast<std::ptrdiff_t>(first), calls.end());
    }

    DDrawDisplay display{fakeDirectDrawCreateEx};
    HWND window = nullptr;
    RECT client{};
};

TEST_F(DisplayTest, StartsEmpty) {
    EXPECT_TRUE(allNull());
    EXPECT_EQ(display.lastResult, DD_OK);
    EXPECT_EQ(display.failure(), "");
}

TEST_F(DisplayTest, SetUpMakesEveryObjectInOrder) {
    ASSERT_TRUE((display.attach(window), display.create()));
    EXPECT_EQ(fakeWorld().calls, setUpCalls);
    EXPECT_EQ(display.lastResult, DD_OK);
    EXPECT_TRUE(display.directDraw);
    EXPECT_TRUE(display.primarySurface);
    EXPECT_TRUE(display.clipper);
    EXPECT_TRUE(display.backSurface);
    EXPECT_EQ(fakeWorld().cooperativeFlags, static_cast<DWORD>(DDSCL_NORMAL));
    EXPECT_EQ(fakeWorld().clipperWindow, window);
    EXPECT_EQ(fakeWorld().primaryDescSize, sizeof(DDSURFACEDESC2));
    EXPECT_EQ(fakeWorld().primaryDescFlags, static_cast<DWORD>(DDSD_CAPS));
    EXPECT_EQ(fakeWorld().primaryDescCaps, static_cast<DWORD>(DDSCAPS_PRIMARYSURFACE));
    EXPECT_EQ(display.primaryDesc.dwFlags, static_cast<DWORD>(DDSD_CAPS));
    EXPECT_EQ(fakeWorld().backDescFlags, static_cast<DWORD>(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH));
    EXPECT_EQ(fakeWorld().backDescCaps, static_cast<DWORD>(DDSCAPS_OFFSCREENPLAIN));
    // The back surface is the client area's size.
    EXPECT_EQ(fakeWorld().backWidth, static_cast<DWORD>(client.right - client.left));
    EXPECT_EQ(fakeWorld().backHeight, static_cast<DWORD>(client.bottom - client.top));
    EXPECT_EQ(display.clientRect.right, client.right);
    EXPECT_EQ(display.clientRect.bottom, client.bottom);
}

TEST_F(DisplayTest, ReleaseGoesBackSurfaceClipperPrimaryDirectDrawThenCallsNothing) {
    ASSERT_TRUE((display.attach(window), display.create()));
    const std::size_t before = fakeWorld().calls.size();
    display.release();
    EXPECT_EQ(callsAfter(before),
              (Calls{"back.Release", "clipper.Release", "primary.Release", "directDraw.Release"}));
    EXPECT_TRUE(allNull());
    EXPECT_EQ(fakeWorld().liveObjects, 0);
    const std::size_t after = fakeWorld().calls.size();
    display.release();
    EXPECT_EQ(fakeWorld().calls.size(), after);
}

TEST_F(DisplayTest, ADisplayThatGoesReleasesInTheSameOrder) {
    std::size_t before = 0;
    {
        DDrawDisplay leaving{fakeDirectDrawCreateEx};
        ASSERT_TRUE((leaving.attach(window), leaving.create()));
        before = fakeWorld().calls.size();
    }
    EXPECT_EQ(callsAfter(before),
              (Calls{"back.Release", "clipper.Release", "primary.Release", "directDraw.Release"}));
    EXPECT_EQ(fakeWorld().liveObjects, 0);
}

struct FailingStep {
    const char* call;
    HRESULT code;
    Calls releases; // what the failure gives back, in order
};

class DisplayFailure : public DisplayTest, public ::testing::WithParamInterface<FailingStep> {};

TEST_P(DisplayFailure, ReleasesWhatWasMadeKeepsTheCodeAndReturnsFalse) {
    const FailingStep& step = GetParam();
    fakeWorld().results[step.call] = step.code;
    EXPECT_FALSE((display.attach(window), display.create()));
    EXPECT_EQ(display.lastResult, step.code);
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(step.code));
    EXPECT_NE(display.failure().find(std::string(" failed with error ") + code), std::string::npos)
        << display.failure();
    EXPECT_TRUE(allNull());
    EXPECT_EQ(fakeWorld().liveObjects, 0);

    // The steps up to the failing one, then the releases; nothing after the failure.
    Calls expected;
    for (const std::string& call : setUpCalls) {
        expected.push_back(call);
        if (call == step.call) break;
    }
    expected.insert(expected.end(), step.releases.begin(), step.releases.end());
    EXPECT_EQ(fakeWorld().calls, expected);

    const std::size_t after = fakeWorld().calls.size();
    display.release();
    EXPECT_EQ(fakeWorld().calls.size(), after);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, DisplayFailure,
    ::testing::Values(
        FailingStep{"DirectDrawCreateEx", DDERR_NODIRECTDRAWHW, {}},
        FailingStep{"directDraw.SetCooperativeLevel", DDERR_INVALIDPARAMS, {"directDraw.Release"}},
        FailingStep{
            "directDraw.CreateSurface(primary)", DDERR_OUTOFVIDEOMEMORY, {"directDraw.Release"}},
        FailingStep{"directDraw.CreateClipper",
                    DDERR_OUTOFMEMORY,
                    {"primary.Release", "directDraw.Release"}},
        FailingStep{"clipper.SetHWnd",
                    DDERR_INVALIDPARAMS,
                    {"clipper.Release", "primary.Release", "directDraw.Release"}},
        FailingStep{"primary.SetClipper",
                    DDERR_INVALIDOBJECT,
                    {"clipper.Release", "primary.Release", "directDraw.Release"}},
        FailingStep{"directDraw.CreateSurface(back)",
                    DDERR_OUTOFVIDEOMEMORY,
                    {"clipper.Release", "primary.Release", "directDraw.Release"}}),
    [](const auto& step) { return testName(step.param.call); });

class PaintTest : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        ASSERT_TRUE((display.attach(window), display.create()));
        fakeWorld().backDc = image.dc();
        game.setUp(standardRules, 7);
        drawer.createDrawingObjects(*display.canvas());
        before = fakeWorld().calls.size();
    }
    void TearDown() override {
        if (HasFailure()) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            image.save(std::string("win_display_") + info->name() + ".ppm");
        }
        DisplayTest::TearDown();
    }
    // The paddle of a fresh game, white in lane 2.
    bool paddleDrawn() const { return image.at(195, 270) == Rgb{255, 255, 255}; }

    Dib image{400, 500};
    Game game;
    FrameDrawer drawer;
    std::size_t before = 0;
};

const Calls onePaint{"back.Blt", "back.GetDC", "back.ReleaseDC", "primary.Blt"};

TEST_F(PaintTest, ClearsDrawsReleasesAndCopiesTheWholeClientAreaToTheScreen) {
    display.paintFrame(drawer, game);
    EXPECT_EQ(callsAfter(before), onePaint);
    EXPECT_EQ(fakeWorld().lastBackBltFlags, static_cast<DWORD>(DDBLT_COLORFILL | DDBLT_WAIT));
    EXPECT_EQ(fakeWorld().lastBackFillColour, 0u);
    EXPECT_EQ(fakeWorld().lastFillSize, sizeof(DDBLTFX));
    EXPECT_EQ(fakeWorld().lastPrimaryBltSource, display.backSurface.get());

    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const RECT& shown = fakeWorld().lastPrimaryBltDestination;
    EXPECT_EQ(shown.left, origin.x);
    EXPECT_EQ(shown.top, origin.y);
    EXPECT_EQ(shown.right - shown.left, client.right);
    EXPECT_EQ(shown.bottom - shown.top, client.bottom);
    EXPECT_TRUE(paddleDrawn());
    // The surface's context is not kept.
    EXPECT_EQ(static_cast<GdiCanvas*>(display.canvas())->boundContext(), nullptr);
}

TEST_F(PaintTest, WithoutADeviceContextNothingIsDrawnButTheCopyStillRuns) {
    fakeWorld().results["back.GetDC"] = DDERR_GENERIC;
    display.paintFrame(drawer, game);
    EXPECT_EQ(callsAfter(before), (Calls{"back.Blt", "back.GetDC", "primary.Blt"}));
    EXPECT_FALSE(paddleDrawn());
}

TEST_F(PaintTest, OtherFailuresAreNotRetried) {
    fakeWorld().results["back.Blt"] = DDERR_GENERIC;
    fakeWorld().results["primary.Blt"] = DDERR_GENERIC;
    display.paintFrame(drawer, game);
    EXPECT_EQ(callsAfter(before), onePaint);
}

class LostSurface : public PaintTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LostSurface, IsRestoredAndTheFramePaintedAgain) {
    fakeWorld().nextResults[GetParam()] = {DDERR_SURFACELOST};
    game.state = GameState::Paused;
    drawer.nextFrame(game);
    display.paintFrame(drawer, game);

    Calls expected = onePaint;
    if (std::string(GetParam()) == "back.GetDC")
        expected = {"back.Blt", "back.GetDC", "primary.Blt"};
    expected.push_back("directDraw.RestoreAllSurfaces");
    expected.insert(expected.end(), onePaint.begin(), onePaint.end());
    EXPECT_EQ(callsAfter(before), expected);
    EXPECT_TRUE(paddleDrawn());
}

INSTANTIATE_TEST_SUITE_P(AtEachCall, LostSurface,
                         ::testing::Values("back.Blt", "back.GetDC", "primary.Blt"),
                         [](const auto& call) { return testName(call.param); });

TEST_F(PaintTest, SurfacesThatCannotBeRestoredYetWaitForTheNextPaint) {
    fakeWorld().results["primary.Blt"] = DDERR_SURFACELOST;
    fakeWorld().results["directDraw.RestoreAllSurfaces"] = DDERR_WRONGMODE;
    display.paintFrame(drawer, game);
    Calls expected = onePaint;
    expected.push_back("directDraw.RestoreAllSurfaces");
    EXPECT_EQ(callsAfter(before), expected);
}

} // namespace
} // namespace plonta::test
