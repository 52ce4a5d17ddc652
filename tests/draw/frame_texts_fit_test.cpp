// Every text of every language, in every state that shows one, fits the frame in the face the
// game installs, and no two of a frame's texts overlap.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "draw/cairo/cairo_fonts.h"
#include "draw/frame.h"
#include "tests/draw/recording_canvas.h"

namespace plonta {
namespace {

struct Scene {
    std::string name;
    GameState state;
    std::uint8_t level;
    int place = 0;
    int bestRows = -1; // the best games with this many rows; -1 for the game
};

// The bytes of a recorded textOut call.
std::string textOf(const std::string& call) {
    std::string bytes;
    for (std::size_t i = call.find('"') + 1; i + 1 < call.size(); ++i) {
        if (call[i] != '\\') {
            bytes += call[i];
            continue;
        }
        bytes += static_cast<char>(std::stoi(call.substr(i + 2, 2), nullptr, 16));
        i += 3;
    }
    return bytes;
}

class FrameTextsFit : public testing::TestWithParam<std::tuple<Language, Scene>> {};

TEST_P(FrameTextsFit, InsideTheFrameAndApart) {
    const auto& [language, scene] = GetParam();
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
    drawer.nextFrame(game); // shows the pause text
    if (scene.bestRows >= 0)
        drawer.showBestGames(BestGamesPage{
            std::vector<BestGamesPage::Row>(scene.bestRows, {99'999'999, 8, "28.08.2088 20:08"}),
            0});
    canvas.calls.clear();
    drawer.drawFrame(canvas, game);

    CairoFonts fonts;
    const std::size_t font = fonts.add(canvas.fontRequests.at(0));
    const Font* face = fonts.resolved(font);
    ASSERT_NE(face, nullptr);
    if (face->metrics.family != "Comic Neue")
        GTEST_SKIP() << "the font is " << face->metrics.family;
    struct Placed {
        std::string text;
        PixelRect ink;
    };
    std::vector<Placed> placed;
    std::uint32_t align = alignLeft;
    for (const std::string& call : canvas.calls) {
        int x = 0, y = 0;
        if (std::sscanf(call.c_str(), "setTextAlign %u", &align) == 1) continue;
        if (std::sscanf(call.c_str(), "textOut %d %d", &x, &y) != 2) continue;
        const Layout* laid = fonts.layout(font, textOf(call));
        ASSERT_NE(laid, nullptr);
        const int left = align == alignCenter  ? x - laid->advance / 2
                         : align == alignRight ? x - laid->advance
                                               : x;
        const int baseline = y + face->metrics.baseline;
        placed.push_back({laid->bytes,
                          {left + laid->ink.left, baseline + laid->ink.top, left + laid->ink.right,
                           baseline + laid->ink.bottom}});
    }
    ASSERT_FALSE(placed.empty());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const PixelRect& ink = placed[i].ink;
        if (ink.empty()) continue;
        EXPECT_TRUE(ink.left >= 0 && ink.top >= 0 && ink.right <= frameWidth &&
                    ink.bottom <= frameHeight)
            << '"' << placed[i].text << "\" spans " << ink.left << " to " << ink.right;
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(overlaps(ink, placed[j].ink))
                << '"' << placed[i].text << "\" (" << ink.left << " to " << ink.right
                << ") overlaps \"" << placed[j].text << "\" (" << placed[j].ink.left << " to "
                << placed[j].ink.right << ")";
    }
}

std::vector<Scene> scenes() {
    std::vector<Scene> all{{"Ready", GameState::Ready, 1},
                           {"LifeLost", GameState::LifeLost, 3},
                           {"GameOverPlaced", GameState::GameOver, 4, 10},
                           {"GameOverAfterTheLastLevel", GameState::GameOver, 8, 10},
                           {"Paused", GameState::Paused, 5},
                           {"NoBestGames", GameState::Ready, 1, 0, 0},
                           {"TenBestGames", GameState::Ready, 1, 0, 10}};
    // Level 8 follows the last level.
    for (std::uint8_t level = 1; level <= lastLevel + 1; ++level)
        all.push_back({"Running" + std::to_string(level), GameState::Running, level});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameTextsFit,
                         testing::Combine(testing::Values(Language::German, Language::English),
                                          testing::ValuesIn(scenes())),
                         [](const testing::TestParamInfo<std::tuple<Language, Scene>>& param) {
                             return std::string(languageCode(std::get<0>(param.param))) + "_" +
                                    std::get<1>(param.param).name;
                         });

} // namespace
} // namespace plonta
