// The tile marks tell the five tiles apart in grey and to each kind of colour-blind eye.
#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <string>

#include "draw/cairo/cairo_canvas.h"
#include "draw/frame.h"

namespace plonta {
namespace {

using Rgb = std::array<double, 3>; // each 0 to 1

// A view of the image: a matrix on the gamma-encoded values, or on linear light.
struct View {
    const char* name;
    bool linear;
    std::array<Rgb, 3> matrix;
};

void PrintTo(const View& view, std::ostream* out) {
    *out << view.name;
}

double linearised(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double encoded(double c) {
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

Rgb seen(const View& view, const unsigned char* word) {
    Rgb in{word[2] / 255.0, word[1] / 255.0, word[0] / 255.0}; // 0x00RRGGBB, little-endian
    if (view.linear) std::ranges::transform(in, in.begin(), linearised);
    Rgb out{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) out[i] += view.matrix[i][j] * in[j];
        out[i] = std::clamp(out[i], 0.0, 1.0);
        if (view.linear) out[i] = encoded(out[i]);
    }
    return out;
}

// Each tile drawn in a slot of its own, on black.
constexpr int slotWidth = 60;
constexpr int slotHeight = 21;
constexpr const char* tileNames[] = {"white", "red", "green", "blue", "yellow"};
constexpr int tiles = static_cast<int>(std::size(tileNames));
// A pair reads as two tiles when this many pixels differ, each in some channel by a fifth of
// the range.
constexpr int distinctPixels = 16;
constexpr double margin = 0.2;

class TileMarks : public testing::TestWithParam<View> {};

TEST_P(TileMarks, EveryPairOfTilesDiffers) {
    const View& view = GetParam();
    CairoCanvas canvas(slotWidth * tiles, slotHeight);
    FrameDrawer drawer;
    drawer.createDrawingObjects(canvas);
    drawer.showMarks(true, &canvas);
    canvas.clear();
    for (int k = 0; k < tiles; ++k)
        drawer.drawTile(canvas, slotWidth * k + 5, 3, static_cast<Tile>(k + 1));
    const auto at = [&](int k, int x, int y) {
        return seen(view, canvas.data() + canvas.stride() * y + 4 * (slotWidth * k + x));
    };
    bool allDistinct = true;
    for (int a = 0; a < tiles; ++a)
        for (int b = a + 1; b < tiles; ++b) {
            int differing = 0;
            for (int y = 0; y < slotHeight; ++y)
                for (int x = 0; x < slotWidth; ++x) {
                    const Rgb p = at(a, x, y);
                    const Rgb q = at(b, x, y);
                    for (std::size_t i = 0; i < 3; ++i)
                        if (std::abs(p[i] - q[i]) > margin) {
                            ++differing;
                            break;
                        }
                }
            EXPECT_GE(differing, distinctPixels) << tileNames[a] << " and " << tileNames[b];
            allDistinct = allDistinct && differing >= distinctPixels;
        }
    if (allDistinct) return;
    // The tiles as the view sees them, to look at.
    const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, canvas.width(), canvas.height()),
        cairo_surface_destroy);
    unsigned char* pixels = cairo_image_surface_get_data(image.get());
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb c = seen(view, canvas.data() + canvas.stride() * y + 4 * x);
            const std::uint32_t word = static_cast<std::uint32_t>(std::lround(c[0] * 255)) << 16 |
                                       static_cast<std::uint32_t>(std::lround(c[1] * 255)) << 8 |
                                       static_cast<std::uint32_t>(std::lround(c[2] * 255));
            std::memcpy(pixels + cairo_image_surface_get_stride(image.get()) * y + 4 * x, &word, 4);
        }
    cairo_surface_mark_dirty(image.get());
    std::filesystem::create_directories(PLONTA_ACTUAL_DIR);
    const std::string path = std::string(PLONTA_ACTUAL_DIR) + "/tile-marks-" + view.name + ".png";
    cairo_surface_write_to_png(image.get(), path.c_str());
    ADD_FAILURE() << "the tiles as seen written to " << path;
}

// Luma is made from the encoded values. The colour-blind views are Machado, Oliveira and
// Fernandes's matrices at full severity, which act on linear light: they mix cone
// responses, and those add up in light, not in gamma-encoded values.
INSTANTIATE_TEST_SUITE_P(
    Views, TileMarks,
    testing::Values(
        View{"Grey",
             false,
             {{{0.2126, 0.7152, 0.0722}, {0.2126, 0.7152, 0.0722}, {0.2126, 0.7152, 0.0722}}}},
        View{"Protanopia",
             true,
             {{{0.152286, 1.052583, -0.204868},
               {0.114503, 0.786281, 0.099216},
               {-0.003882, -0.048116, 1.051998}}}},
        View{"Deuteranopia",
             true,
             {{{0.367322, 0.860646, -0.227968},
               {0.280085, 0.672501, 0.047413},
               {-0.011820, 0.042940, 0.968881}}}},
        View{"Tritanopia",
             true,
             {{{1.255528, -0.076749, -0.178779},
               {-0.078411, 0.930809, 0.147602},
               {0.004733, 0.691367, 0.303900}}}}),
    [](const testing::TestParamInfo<View>& param) { return std::string(param.param.name); });

} // namespace
} // namespace plonta
