// The SDL display against a table of SDL calls that a test can make fail, on window surfaces
// the test makes itself: set-up and release, where the frame lies, what each paint sends.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "game/command.h"
#include "present/sdl/sdl_display.h"

namespace plonta {
namespace {

std::vector<std::string> calls;
std::string failAt;
// The window's surface as the next getWindowSurface makes it.
int surfaceWidth = 400;
int surfaceHeight = 500;
Uint32 surfaceFormat = SDL_PIXELFORMAT_RGB888;
std::vector<std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)>> surfaces;

SDL_Surface* getWindowSurface(SDL_Window*) {
    calls.push_back("getWindowSurface");
    if (failAt == "surface") return nullptr;
    surfaces.emplace_back(
        SDL_CreateRGBSurfaceWithFormat(0, surfaceWidth, surfaceHeight, 32, surfaceFormat),
        SDL_FreeSurface);
    // Not black, so a test sees what the display clears.
    SDL_FillRect(surfaces.back().get(), nullptr, 0x123456);
    return surfaces.back().get();
}
std::string rectText(const SDL_Rect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" +
           std::to_string(r.h);
}
int updateWindowSurfaceRects(SDL_Window*, const SDL_Rect* rects, int count) {
    std::string text = "update";
    for (int i = 0; i < count; ++i) text += " " + rectText(rects[i]);
    calls.push_back(text);
    return failAt == "update" ? -1 : 0;
}
int convertPixels(int width, int height, Uint32 sourceFormat, const void* source, int sourcePitch,
                  Uint32 targetFormat, void* target, int targetPitch) {
    calls.push_back("convert " + std::to_string(width) + "x" + std::to_string(height));
    if (failAt == "convert") return -1;
    return SDL_ConvertPixels(width, height, sourceFormat, source, sourcePitch, targetFormat, target,
                             targetPitch);
}
std::unique_ptr<CairoCanvas> createCanvas(int width, int height) {
    calls.push_back("createCanvas");
    if (failAt == "canvas") return nullptr;
    return std::make_unique<CairoCanvas>(width, height);
}

const SdlDisplayCalls fakeCalls{getWindowSurface, updateWindowSurfaceRects, convertPixels,
                                createCanvas};

using Log = std::vector<std::string>;

// The colour of a pixel of the window's surface, whatever its format.
Colour windowPixel(const SDL_Surface* surface, int x, int y) {
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 value = 0;
    if (surface->format->BytesPerPixel == 4)
        std::memcpy(&value, row + 4 * x, 4);
    else
        std::memcpy(&value, row + 2 * x, 2);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return rgb(r, g, b);
}

class DisplayTest : public testing::Test {
  protected:
    void SetUp() override {
        calls.clear();
        failAt.clear();
        surfaceWidth = 400;
        surfaceHeight = 500;
        surfaceFormat = SDL_PIXELFORMAT_RGB888;
        game.setUp(standardRules, 1);
    }
    void TearDown() override {
        display.release();
        surfaces.clear();
    }

    void expectEmpty() {
        EXPECT_EQ(display.surface, nullptr);
        EXPECT_EQ(display.backBuffer, nullptr);
        EXPECT_EQ(display.canvas(), nullptr);
    }

    bool setUp() {
        if (!display.create()) return false;
        drawer.createDrawingObjects(*display.canvas());
        return true;
    }

    void paint() { display.paintFrame(drawer, game); }

    // The window's pixel under a pixel of the frame at scale 1.
    Colour shown(int x, int y) {
        const FrameScale n = display.scale;
        return windowPixel(display.surface, display.frameRect.x + (n.edge(x) + n.edge(x + 1)) / 2,
                           display.frameRect.y + (n.edge(y) + n.edge(y + 1)) / 2);
    }

    SdlDisplay display{fakeCalls};
    Game game;
    FrameDrawer drawer;
};

TEST_F(DisplayTest, SetUpTakesTheWindowsSurfaceAndACanvas) {
    ASSERT_TRUE(display.create());
    EXPECT_EQ(calls, (Log{"getWindowSurface", "createCanvas"}));
    EXPECT_EQ(display.failure(), "");
    EXPECT_NE(display.canvas(), nullptr);
    EXPECT_FALSE(display.converting);
}

TEST_F(DisplayTest, ReleaseIsSafeBeforeSetUpAndTwice) {
    display.release();
    ASSERT_TRUE(display.create());
    display.release();
    expectEmpty();
    display.release();
    expectEmpty();
}

struct FailureCase {
    const char* step;
    const char* lastResult;
    Log calls;
};

class DisplayFailure : public DisplayTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(DisplayFailure, LeavesNothingAndNamesTheStep) {
    failAt = GetParam().step;
    EXPECT_FALSE(display.create());
    EXPECT_EQ(calls, GetParam().calls);
    EXPECT_EQ(display.failure().rfind(std::string(GetParam().lastResult) + " failed: ", 0), 0u)
        << display.failure();
    expectEmpty();
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, DisplayFailure,
    testing::Values(FailureCase{"surface", "SDL_GetWindowSurface", {"getWindowSurface"}},
                    FailureCase{"canvas", "CairoCanvas", {"getWindowSurface", "createCanvas"}}),
    [](const testing::TestParamInfo<FailureCase>& param) { return std::string(param.param.step); });

// Where the frame lies in windows and screens of many sizes: the largest scale that fits, to the
// thousandth, centred, black around it.
struct PlaceCase {
    const char* name;
    int width;
    int height;
    int thousandths;
    SDL_Rect frame;
};

class FramePlace : public DisplayTest, public testing::WithParamInterface<PlaceCase> {};

TEST_P(FramePlace, LargestScaleCentredWithBlackAround) {
    const PlaceCase& place = GetParam();
    surfaceWidth = place.width;
    surfaceHeight = place.height;
    ASSERT_TRUE(setUp());
    EXPECT_EQ(display.scale.thousandths(), place.thousandths);
    EXPECT_EQ(rectText(display.frameRect), rectText(place.frame));
    paint();
    EXPECT_EQ(calls.back(),
              "update 0,0 " + std::to_string(place.width) + "x" + std::to_string(place.height));
    // The bin's wall and floor red, its inside black, and the window's corners black.
    EXPECT_EQ(shown(35, 400), rgb(255, 0, 0));
    EXPECT_EQ(shown(200, 450), rgb(255, 0, 0));
    EXPECT_EQ(shown(200, 400), rgb(0, 0, 0));
    EXPECT_EQ(windowPixel(display.surface, 0, 0), rgb(0, 0, 0));
    EXPECT_EQ(windowPixel(display.surface, place.width - 1, place.height - 1), rgb(0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FramePlace,
    testing::Values(PlaceCase{"ScaleOne", 400, 500, 1000, {0, 0, 400, 500}},
                    PlaceCase{"ScaleThree", 1200, 1500, 3000, {0, 0, 1200, 1500}},
                    PlaceCase{"Handheld", 1280, 800, 1600, {320, 0, 640, 800}},
                    PlaceCase{"Laptop", 1366, 768, 1536, {375, 0, 615, 768}},
                    PlaceCase{"FullHd", 1920, 1080, 2160, {528, 0, 864, 1080}},
                    PlaceCase{"Uhd", 3840, 2160, 4320, {1056, 0, 1728, 2160}},
                    PlaceCase{"Portrait", 800, 1280, 2000, {0, 140, 800, 1000}}),
    [](const testing::TestParamInfo<PlaceCase>& param) { return std::string(param.param.name); });

TEST_F(DisplayTest, SendsTheWholeWindowFirstThenOnlyWhatChanged) {
    ASSERT_TRUE(setUp());
    paint();
    EXPECT_EQ(calls.back(), "update 0,0 400x500");
    calls.clear();
    paint();
    EXPECT_TRUE(calls.empty()) << "nothing changed, nothing sent";
    applyCommand(game, Command::PaddleLeft);
    paint();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0], "update 0,0 400x500");
    EXPECT_EQ(shown(135, 270), rgb(255, 255, 255)); // the paddle, now in lane 1
    display.showAll();
    paint();
    EXPECT_EQ(calls.back(), "update 0,0 400x500");
}

TEST_F(DisplayTest, WhatFailedToArriveGoesWholeWithTheNextPaint) {
    ASSERT_TRUE(setUp());
    paint();
    failAt = "update";
    applyCommand(game, Command::PaddleLeft);
    paint();
    failAt.clear();
    calls.clear();
    paint();
    EXPECT_EQ(calls, (Log{"update 0,0 400x500"}));
}

TEST_F(DisplayTest, ASurfaceOfAnotherFormatGetsTheFrameConverted) {
    surfaceFormat = SDL_PIXELFORMAT_RGB565;
    ASSERT_TRUE(setUp());
    EXPECT_TRUE(display.converting);
    paint();
    EXPECT_EQ(calls,
              (Log{"getWindowSurface", "createCanvas", "convert 400x500", "update 0,0 400x500"}));
    EXPECT_EQ(shown(35, 400), rgb(255, 0, 0));
    EXPECT_EQ(shown(200, 400), rgb(0, 0, 0));
    // A failed conversion is made good, whole, by the next paint.
    failAt = "convert";
    applyCommand(game, Command::PaddleLeft);
    paint();
    failAt.clear();
    calls.clear();
    paint();
    EXPECT_EQ(calls, (Log{"convert 400x500", "update 0,0 400x500"}));
    EXPECT_EQ(shown(135, 270), rgb(255, 255, 255));
}

TEST_F(DisplayTest, AWindowSmallerThanTheFrameShowsItsMiddle) {
    surfaceWidth = 300;
    surfaceHeight = 400;
    ASSERT_TRUE(setUp());
    EXPECT_TRUE(display.converting);
    EXPECT_EQ(rectText(display.frameRect), "-50,-50 400x500");
    paint();
    EXPECT_EQ(calls.back(), "update 0,0 300x400");
    EXPECT_EQ(shown(200, 400), rgb(0, 0, 0));
    EXPECT_EQ(shown(200, 447), rgb(255, 0, 0)); // the bin's floor, at the window's bottom
}

TEST_F(DisplayTest, ANewSizeMakesTheSurfaceAnewAndKeepsTheCanvas) {
    ASSERT_TRUE(setUp());
    paint();
    const Canvas* canvas = display.canvas();
    surfaceWidth = 3840;
    surfaceHeight = 2160;
    calls.clear();
    ASSERT_TRUE(display.resize());
    EXPECT_EQ(calls, (Log{"getWindowSurface"}));
    EXPECT_EQ(display.canvas(), canvas);
    EXPECT_EQ(display.scale, FrameScale::ofThousandths(4320));
    paint();
    EXPECT_EQ(calls.back(), "update 0,0 3840x2160");
    EXPECT_EQ(shown(35, 400), rgb(255, 0, 0));
    EXPECT_EQ(windowPixel(display.surface, 1000, 1000), rgb(0, 0, 0));
}

TEST_F(DisplayTest, AFailedNewSurfaceLeavesNothing) {
    ASSERT_TRUE(setUp());
    failAt = "surface";
    EXPECT_FALSE(display.resize());
    EXPECT_EQ(display.failure().rfind("SDL_GetWindowSurface failed: ", 0), 0u);
    expectEmpty();
    EXPECT_FALSE(display.resize());
}

} // namespace
} // namespace plonta
