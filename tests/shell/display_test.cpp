// Display set-up and release through a table of SDL calls that a test can make fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "present/sdl/sdl_display.h"

namespace plonta {
namespace {

std::vector<std::string> calls;
std::string failAt;
const SdlDisplay* watched = nullptr;

// Distinct non-null addresses stand in for SDL's objects.
unsigned char rendererToken;
unsigned char textureToken;
SDL_Renderer* const fakeRenderer = reinterpret_cast<SDL_Renderer*>(&rendererToken);
SDL_Texture* const fakeTexture = reinterpret_cast<SDL_Texture*>(&textureToken);

void getWindowSize(SDL_Window*, int* width, int* height) {
    *width = 400;
    *height = 500;
}
SDL_Renderer* createRenderer(SDL_Window*, int, Uint32 flags) {
    calls.push_back("createRenderer");
    EXPECT_TRUE(flags & SDL_RENDERER_SOFTWARE);
    return failAt == "renderer" ? nullptr : fakeRenderer;
}
void destroyRenderer(SDL_Renderer* renderer) {
    EXPECT_EQ(renderer, fakeRenderer);
    calls.push_back("destroyRenderer");
}
SDL_Texture* createTexture(SDL_Renderer* renderer, Uint32 format, int access, int width,
                           int height) {
    calls.push_back("createTexture");
    EXPECT_EQ(renderer, fakeRenderer);
    EXPECT_EQ(format, static_cast<Uint32>(SDL_PIXELFORMAT_RGB888));
    EXPECT_EQ(access, SDL_TEXTUREACCESS_STREAMING);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 500);
    return failAt == "texture" ? nullptr : fakeTexture;
}
void destroyTexture(SDL_Texture* texture) {
    EXPECT_EQ(texture, fakeTexture);
    // The back buffer, made last, has to be gone already.
    calls.push_back(watched && watched->backBuffer ? "destroyTexture(buffer alive)"
                                                   : "destroyTexture");
}
std::unique_ptr<CairoCanvas> createCanvas(int width, int height) {
    calls.push_back("createCanvas");
    if (failAt == "canvas") return nullptr;
    return std::make_unique<CairoCanvas>(width, height);
}
std::string rectText(const SDL_Rect* r) {
    return r ? std::to_string(r->x) + "," + std::to_string(r->y) + " " + std::to_string(r->w) +
                   "x" + std::to_string(r->h)
             : "whole";
}
int updateTexture(SDL_Texture* texture, const SDL_Rect* rect, const void* pixels, int pitch) {
    EXPECT_EQ(texture, fakeTexture);
    EXPECT_NE(pixels, nullptr);
    calls.push_back("updateTexture " + rectText(rect) + " pitch " + std::to_string(pitch));
    return 0;
}
int renderCopy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* source,
               const SDL_Rect* destination) {
    EXPECT_EQ(renderer, fakeRenderer);
    EXPECT_EQ(texture, fakeTexture);
    calls.push_back("renderCopy " + rectText(source) + " to " + rectText(destination));
    return 0;
}
void renderPresent(SDL_Renderer* renderer) {
    EXPECT_EQ(renderer, fakeRenderer);
    calls.push_back("renderPresent");
}

const SdlDisplayCalls fakeCalls{getWindowSize, createRenderer, destroyRenderer,
                                createTexture, destroyTexture, createCanvas,
                                updateTexture, renderCopy,     renderPresent};

using Log = std::vector<std::string>;

class DisplaySetUp : public testing::Test {
  protected:
    void SetUp() override {
        calls.clear();
        failAt.clear();
        watched = &display;
    }
    void TearDown() override { watched = nullptr; }

    void expectEmpty() {
        EXPECT_EQ(display.renderer, nullptr);
        EXPECT_EQ(display.texture, nullptr);
        EXPECT_EQ(display.backBuffer, nullptr);
        EXPECT_EQ(display.canvas(), nullptr);
    }

    SdlDisplay display{fakeCalls};
};

TEST_F(DisplaySetUp, SucceedsWithEverythingMade) {
    ASSERT_TRUE(display.createSurfaces(nullptr));
    EXPECT_EQ(calls, (Log{"createRenderer", "createTexture", "createCanvas"}));
    EXPECT_EQ(display.lastResult, nullptr);
    EXPECT_NE(display.canvas(), nullptr);
    EXPECT_EQ(display.clientRect.w, 400);
    EXPECT_EQ(display.clientRect.h, 500);
    display.releaseSurfaces();
}

TEST_F(DisplaySetUp, ReleasesNewestFirst) {
    ASSERT_TRUE(display.createSurfaces(nullptr));
    calls.clear();
    display.releaseSurfaces();
    EXPECT_EQ(calls, (Log{"destroyTexture", "destroyRenderer"}));
    expectEmpty();
}

TEST_F(DisplaySetUp, SecondReleaseMakesNoCall) {
    ASSERT_TRUE(display.createSurfaces(nullptr));
    display.releaseSurfaces();
    calls.clear();
    display.releaseSurfaces();
    EXPECT_TRUE(calls.empty());
}

TEST_F(DisplaySetUp, ReleaseBeforeAnySetUpMakesNoCall) {
    display.releaseSurfaces();
    EXPECT_TRUE(calls.empty());
}

struct FailureCase {
    const char* step;
    const char* lastResult;
    Log calls;
};

class DisplayFailure : public DisplaySetUp, public testing::WithParamInterface<FailureCase> {};

TEST_P(DisplayFailure, ReleasesWhatWasMadeInReverse) {
    failAt = GetParam().step;
    EXPECT_FALSE(display.createSurfaces(nullptr));
    EXPECT_EQ(calls, GetParam().calls);
    ASSERT_NE(display.lastResult, nullptr);
    EXPECT_STREQ(display.lastResult, GetParam().lastResult);
    expectEmpty();
    // Shutdown releases again; nothing is left to release.
    calls.clear();
    display.releaseSurfaces();
    EXPECT_TRUE(calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, DisplayFailure,
    testing::Values(FailureCase{"renderer", "SDL_CreateRenderer", {"createRenderer"}},
                    FailureCase{"texture",
                                "SDL_CreateTexture",
                                {"createRenderer", "createTexture", "destroyRenderer"}},
                    FailureCase{"canvas",
                                "CairoCanvas",
                                {"createRenderer", "createTexture", "createCanvas",
                                 "destroyTexture", "destroyRenderer"}}),
    [](const testing::TestParamInfo<FailureCase>& param) { return std::string(param.param.step); });

TEST_F(DisplaySetUp, LostTargetsMakeANewTextureAndKeepTheBuffer) {
    ASSERT_TRUE(display.createSurfaces(nullptr));
    const Canvas* before = display.canvas();
    calls.clear();
    EXPECT_TRUE(display.restoreSurfaces(false));
    EXPECT_EQ(calls, (Log{"destroyTexture(buffer alive)", "createTexture"}));
    EXPECT_EQ(display.canvas(), before);
    display.releaseSurfaces();
}

TEST_F(DisplaySetUp, LostDeviceMakesANewRendererToo) {
    ASSERT_TRUE(display.createSurfaces(nullptr));
    calls.clear();
    EXPECT_TRUE(display.restoreSurfaces(true));
    EXPECT_EQ(calls, (Log{"destroyTexture(buffer alive)", "destroyRenderer", "createRenderer",
                          "createTexture"}));
    display.releaseSurfaces();
}

TEST_F(DisplaySetUp, FailedRestoreLeavesNothing) {
    ASSERT_TRUE(display.createSurfaces(nullptr));
    failAt = "texture";
    EXPECT_FALSE(display.restoreSurfaces(false));
    EXPECT_STREQ(display.lastResult, "SDL_CreateTexture");
    expectEmpty();
}

TEST_F(DisplaySetUp, PaintCopiesTheWholeClearedFrameOnce) {
    ASSERT_TRUE(display.createSurfaces(nullptr));
    display.prepareFill();
    Game game;
    game.setUp(standardRules, 1);
    FrameDrawer drawer;
    drawer.createDrawingObjects(*display.canvas());
    calls.clear();
    display.paintFrame(drawer, game);
    // 400 pixels of four bytes a row.
    EXPECT_EQ(calls, (Log{"updateTexture 0,0 400x500 pitch 1600",
                          "renderCopy 0,0 400x500 to 0,0 400x500", "renderPresent"}));
    display.releaseSurfaces();
}

TEST_F(DisplaySetUp, ADisplayThatGoesGivesBackWhatItHeld) {
    {
        SdlDisplay leaving{fakeCalls};
        ASSERT_TRUE(leaving.createSurfaces(nullptr));
        calls.clear();
    }
    EXPECT_EQ(calls, (Log{"destroyTexture", "destroyRenderer"}));
}

} // namespace
} // namespace plonta
