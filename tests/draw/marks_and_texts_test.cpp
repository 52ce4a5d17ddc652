// What the tile marks and the languages add to the frame: the marks tell the five tiles apart
// in grey and to each kind of colour-blind eye, and every text of every language, in every
// state that shows one, fits the frame in the face the game installs, apart from the others.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "draw/cairo/cairo_canvas.h"
#include "draw/cairo/cairo_fonts.h"
#include "draw/frame.h"
#include "tests/draw/recording_canvas.h"

namespace plonta {
namespace {

using Rgb = std::array<double, 3>; // each 0 to 1

// How an eye sees linear light, a matrix row by row: the luminance, and Machado, Oliveira and
// Fernandes's matrices at full severity. Both act on light, not on gamma-encoded values: they mix
// cone responses, and those add up in light.
struct View {
    const char* name;
    std::array<double, 9> matrix;
};
constexpr View views[] = {
    {"Grey", {0.2126, 0.7152, 0.0722, 0.2126, 0.7152, 0.0722, 0.2126, 0.7152, 0.0722}},
    {"Protanopia",
     {0.152286, 1.052583, -0.204868, 0.114503, 0.786281, 0.099216, -0.003882, -0.048116, 1.051998}},
    {"Deuteranopia",
     {0.367322, 0.860646, -0.227968, 0.280085, 0.672501, 0.047413, -0.011820, 0.042940, 0.968881}},
    {"Tritanopia",
     {1.255528, -0.076749, -0.178779, -0.078411, 0.930809, 0.147602, 0.004733, 0.691367, 0.303900}},
};

// A pixel of the canvas, 0x00RRGGBB in a little-endian word, as the view sees it, encoded again.
Rgb seen(const View& view, const unsigned char* word) {
    Rgb in{word[2] / 255.0, word[1] / 255.0, word[0] / 255.0};
    for (double& c : in) c = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    Rgb out{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) out[i] += view.matrix[3 * i + j] * in[j];
        const double c = std::clamp(out[i], 0.0, 1.0);
        out[i] = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    }
    return out;
}

constexpr int tiles = 5;
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
            EXPECT_GE(differing, distinctPixels) << "tiles " << a + 1 << " and " << b + 1;
        }
}

INSTANTIATE_TEST_SUITE_P(Views, TileMarks, testing::ValuesIn(views),
                         [](const testing::TestParamInfo<View>& param) {
                             return std::string(param.param.name);
                         });

// A state that shows texts: the best games with this many rows, or the game (-1). Level 8
// follows the last level.
struct Scene {
    GameState state;
    std::uint8_t level;
    int place = 0;
    int bestRows = -1;
    bool sendable = false; // S sends: its hint, and what came of the last game sent
    BestGamesPage::Sent sent{};
};

TEST(FrameTexts, EveryTextOfEveryStateFitsTheFrameApartFromTheOthers) {
    std::vector<Scene> scenes{
        {GameState::Ready, 1},        {GameState::LifeLost, 3},
        {GameState::GameOver, 4, 10}, {GameState::GameOver, lastLevel + 1, 10},
        {GameState::Paused, 5},       {GameState::Ready, 1, 0, 0},
        {GameState::Ready, 1, 0, 10}};
    for (std::uint8_t level = 1; level <= lastLevel + 1; ++level)
        scenes.push_back({GameState::Running, level});
    using Sent = BestGamesPage::Sent;
    // A server's reason as long as the frame takes one, in the widest letter.
    const std::string reason(BestGamesPage::maxReason, 'W');
    for (const Sent& sent :
         {Sent{}, Sent{Sent::Kind::Sending, 0, {}}, Sent{Sent::Kind::Sent, 99'999'999, {}},
          Sent{Sent::Kind::Refused, 0, reason}, Sent{Sent::Kind::NoAnswer, 0, {}}})
        scenes.push_back({GameState::Ready, 1, 0, 10, true, sent});
    CairoFonts fonts;
    test::RecordingCanvas made; // the font the frame asks for
    FrameDrawer{}.createDrawingObjects(made);
    const std::size_t font = fonts.add(made.fontRequests.at(0));
    const Font* face = fonts.resolved(font);
    ASSERT_NE(face, nullptr);
    if (face->metrics.family != "Comic Neue")
        GTEST_SKIP() << "the font is " << face->metrics.family;
    for (const Language language : {Language::German, Language::English})
        for (const Scene& scene : scenes) {
            SCOPED_TRACE(testing::Message()
                         << languageCode(language) << " state " << static_cast<int>(scene.state)
                         << " level " << int{scene.level} << " rows " << scene.bestRows);
            Game game;
            game.setUp(standardRules, 1);
            game.state = scene.state;
            game.player.level = scene.level;
            game.player.score = 99'999'999;
            FrameDrawer drawer;
            test::RecordingCanvas canvas;
            drawer.createDrawingObjects(canvas);
            drawer.useLanguage(language);
            drawer.showPlace(scene.place);
            drawer.nextFrame(game); // a paused frame now shows its text
            // Rows as wide as they come: eight digits, a date as the front end writes it.
            if (scene.bestRows >= 0)
                drawer.showBestGames(
                    BestGamesPage{std::vector<BestGamesPage::Row>(
                                      scene.bestRows, {99'999'999, 8, "28.08.2088 20:08"}),
                                  0, scene.sendable, scene.sent});
            drawer.drawFrame(canvas, game);
            std::vector<std::pair<std::string, PixelRect>> placed; // each text, its ink
            std::uint32_t align = alignLeft;
            for (const std::string& call : canvas.calls) {
                int x = 0, y = 0;
                if (std::sscanf(call.c_str(), "setTextAlign %u", &align) == 1) continue;
                if (std::sscanf(call.c_str(), "textOut %d %d", &x, &y) != 2) continue;
                const std::string& text = canvas.texts[placed.size()];
                const Layout* laid = fonts.layout(font, text);
                ASSERT_NE(laid, nullptr);
                const int left = align == alignCenter  ? x - laid->advance / 2
                                 : align == alignRight ? x - laid->advance
                                                       : x;
                const int baseline = y + face->metrics.baseline;
                placed.push_back({text + " from " + std::to_string(left + laid->ink.left),
                                  {left + laid->ink.left, baseline + laid->ink.top,
                                   left + laid->ink.right, baseline + laid->ink.bottom}});
            }
            ASSERT_FALSE(placed.empty());
            for (std::size_t i = 0; i < placed.size(); ++i) {
                const PixelRect& ink = placed[i].second;
                EXPECT_TRUE(ink.empty() ||
                            intersection(ink, {0, 0, frameWidth, frameHeight}) == ink)
                    << placed[i].first << " to " << ink.right;
                for (std::size_t j = i + 1; j < placed.size(); ++j)
                    EXPECT_FALSE(overlaps(ink, placed[j].second))
                        << placed[i].first << " overlaps " << placed[j].first;
            }
        }
}

} // namespace
} // namespace plonta
