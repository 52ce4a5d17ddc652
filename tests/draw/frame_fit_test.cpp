// The frame's fit on screens of every kind: the displays' largest scale and its place, a
// window's scale unasked, asked and from a monitor's DPI, and where the window opens.
#include <gtest/gtest.h>

#include "draw/frame_fit.h"

namespace plonta {
namespace {

// A window of the Windows program at 96 DPI: its client area is the frame cut by the caption.
constexpr FitSize client1{394, 471};
constexpr FitSize windowExtra{6, 29};
constexpr FitPoint usual{100, 150};

struct Screen {
    const char* name;
    FitArea usable;
    int fillScale;     // the displays: fullscreen, the page
    FitPoint fillAt;   // where the frame lies in the area
    int windowScale;   // unasked: four fifths of the screen at most
    FitPoint windowAt; // a window at that scale
    int askedFour;     // --scale 4
    unsigned dpi;      // and a monitor at this DPI...
    double dpiScale;   // ...gives this scale to the Windows program's window
};

constexpr Screen screens[] = {
    {"OneFrameExactly", {0, 0, 400, 500}, 1, {0, 0}, 1, {0, 0}, 1, 96, 1},
    {"SmallerThanTheFrame", {0, 0, 399, 499}, 1, {0, 0}, 1, {0, 0}, 1, 96, 1},
    {"TwoFramesExactly", {0, 0, 800, 1000}, 2, {0, 0}, 1, {100, 150}, 2, 110, 1.145},
    {"OnePixelNarrowForTwo", {0, 0, 799, 1000}, 1, {199, 250}, 1, {100, 150}, 1, 120, 1.25},
    {"JustRoomForTwoWindows", {0, 0, 794, 971}, 1, {197, 235}, 1, {100, 150}, 1, 192, 2},
    {"OnePixelShortOfTwoWindows", {0, 0, 793, 971}, 1, {196, 235}, 1, {100, 150}, 1, 192, 1.997},
    {"Xga", {0, 0, 1024, 768}, 1, {312, 134}, 1, {100, 150}, 1, 192, 1.569},
    {"FullHd", {0, 0, 1920, 1080}, 2, {560, 40}, 1, {100, 150}, 2, 144, 1.5},
    {"FullHdUnderAPanel", {0, 32, 1920, 1048}, 2, {560, 24}, 1, {100, 150}, 2, 120, 1.25},
    {"Wqxga", {0, 0, 2560, 1600}, 3, {680, 50}, 2, {100, 150}, 3, 168, 1.75},
    {"Uhd", {0, 0, 3840, 2160}, 4, {1120, 80}, 3, {100, 150}, 4, 480, 4},
    {"FiveK", {0, 0, 5120, 2880}, 5, {1560, 190}, 4, {100, 150}, 4, 288, 3},
    {"EightK", {0, 0, 7680, 4320}, 8, {2240, 160}, 4, {100, 150}, 4, 96, 1},
    {"SecondScreenToTheRight", {1920, 0, 2560, 1440}, 2, {880, 220}, 2, {2800, 220}, 2, 192, 2},
    {"TooSmallForOne", {0, 0, 640, 480}, 1, {120, -10}, 1, {120, 0}, 1, 192, 1},
};

class FrameFit : public testing::TestWithParam<Screen> {};

TEST_P(FrameFit, LargestScaleThatFitsAndWhereItGoes) {
    const Screen& s = GetParam();
    const FitSize area{s.usable.width, s.usable.height};
    const int fill = scaleThatFits(frameSize, area);
    EXPECT_EQ(fill, s.fillScale);
    EXPECT_EQ(centred(area, {frameSize.width * fill, frameSize.height * fill}), s.fillAt);

    const int scale = comfortableScale(frameSize, area, 4);
    EXPECT_EQ(scale, s.windowScale);
    const FitSize window{frameSize.width * scale, frameSize.height * scale};
    EXPECT_EQ(windowPlace(s.usable, window, usual), s.windowAt);
    EXPECT_EQ(scaleThatFits(frameSize, area, 4), s.askedFour);
    EXPECT_EQ(scaleThatFits(frameSize, area, 1), 1);

    EXPECT_EQ(scaleForDpi(s.dpi, client1, area, 4, windowExtra).factor(), s.dpiScale);
}

INSTANTIATE_TEST_SUITE_P(Screens, FrameFit, testing::ValuesIn(screens),
                         [](const testing::TestParamInfo<Screen>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
} // namespace plonta
