// The tile marks tell the five tiles apart in grey and to each kind of colour-blind eye.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <string>

#include "draw/cairo/cairo_canvas.h"
#include "draw/frame.h"

namespace plonta {
namespace {

using Rgb = std::array<double, 3>; // each 0 to 1

// How an eye sees the image: a matrix on the gamma-encoded values, or on linear light.
struct View {
    const char* name;
    bool linear;
    std::array<double, 9> matrix; // row by row
};

// Luma is made from the encoded values. The colour-blind views are Machado, Oliveira and
// Fernandes's matrices at full severity, which act on linear light: they mix cone responses,
// and those add up in light, not in gamma-encoded values.
constexpr View views[] = {
    {"Grey", false, {0.2126, 0.7152, 0.0722, 0.2126, 0.7152, 0.0722, 0.2126, 0.7152, 0.0722}},
    {"Protanopia",
     true,
     {0.152286, 1.052583, -0.204868, 0.114503, 0.786281, 0.099216, -0.003882, -0.048116, 1.051998}},
    {"Deuteranopia",
     true,
     {0.367322, 0.860646, -0.227968, 0.280085, 0.672501, 0.047413, -0.011820, 0.042940, 0.968881}},
    {"Tritanopia",
     true,
     {1.255528, -0.076749, -0.178779, -0.078411, 0.930809, 0.147602, 0.004733, 0.691367, 0.303900}},
};

// A pixel of the canvas, 0x00RRGGBB in a little-endian word, as the view sees it.
Rgb seen(const View& view, const unsigned char* word) {
    Rgb in{word[2] / 255.0, word[1] / 255.0, word[0] / 255.0};
    if (view.linear)
        for (double& c : in) c = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    Rgb out{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) out[i] += view.matrix[3 * i + j] * in[j];
        const double c = std::clamp(out[i], 0.0, 1.0);
        out[i] = !view.linear     ? c
                 : c <= 0.0031308 ? 12.92 * c
                                  : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    }
    return out;
}

constexpr const char* tileNames[] = {"white", "red", "green", "blue", "yellow"};
constexpr int tiles = static_cast<int>(std::size(tileNames));
constexpr int slotWidth = 60; // a tile each, on black
constexpr int slotHeight = 21;
// Two tiles read apart at scale 1 when this many pixels differ, each by a fifth of the range in
// some channel as the view sees it: more than a nearly equal fill can give.
constexpr int distinctPixels = 16;
constexpr double margin = 0.2;

class TileMarks : public testing::TestWithParam<View> {};

TEST_P(TileMarks, EveryPairOfTilesDiffers) {
    CairoCanvas canvas(slotWidth * tiles, slotHeight);
    FrameDrawer drawer;
    drawer.createDrawingObjects(canvas);
    drawer.showMarks(true, &canvas);
    canvas.clear();
    for (int k = 0; k < tiles; ++k)
        drawer.drawTile(canvas, slotWidth * k + 5, 3, static_cast<Tile>(k + 1));
    const auto at = [&](int k, int x, int y) {
        return seen(GetParam(), canvas.data() + canvas.stride() * y + 4 * (slotWidth * k + x));
    };
    for (int a = 0; a < tiles; ++a)
        for (int b = a + 1; b < tiles; ++b) {
            int differing = 0;
            for (int y = 0; y < slotHeight; ++y)
                for (int x = 0; x < slotWidth; ++x)
                    differing += std::ranges::any_of(std::array{0, 1, 2}, [&](std::size_t i) {
                        return std::abs(at(a, x, y)[i] - at(b, x, y)[i]) > margin;
                    });
            EXPECT_GE(differing, distinctPixels) << tileNames[a] << " and " << tileNames[b];
        }
    if (!HasFailure()) return;
    const std::string path =
        PLONTA_ACTUAL_DIR "/tile-marks-" + std::string(GetParam().name) + ".png";
    std::filesystem::create_directories(PLONTA_ACTUAL_DIR);
    canvas.writePng(path.c_str());
    ADD_FAILURE() << "the tiles written to " << path;
}

INSTANTIATE_TEST_SUITE_P(Views, TileMarks, testing::ValuesIn(views),
                         [](const testing::TestParamInfo<View>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
} // namespace plonta
