// Every text of every language, in every state that shows one, fits the frame in the face the
// game installs, and no two of a frame's texts overlap.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "draw/cairo/cairo_fonts.h"
#include "draw/frame.h"
#include "tests/draw/recording_canvas.h"

namespace plonta {
namespace {

struct Scene {
    std::string name;
    GameState state = GameState::Ready;
    std::uint8_t level = 1;
    int place = 0;
    int bestRows = -1; // the best games with this many rows; -1 for the game
    Language language = Language::German;
};

class FrameTextsFit : public testing::TestWithParam<Scene> {};

TEST_P(FrameTextsFit, InsideTheFrameAndApart) {
    const Scene& scene = GetParam();
    Game game;
    game.setUp(standardRules, 1);
    game.state = scene.state;
    game.player.level = scene.level;
    game.player.score = 99'999'999;
    FrameDrawer drawer;
    test::RecordingCanvas canvas;
    drawer.createDrawingObjects(canvas);
    drawer.useLanguage(scene.language);
    drawer.showPlace(scene.place);
    drawer.nextFrame(game); // a paused frame now shows its text
    // Rows as wide as they come: eight digits, the last level, a date as the front end writes it.
    if (scene.bestRows >= 0)
        drawer.showBestGames(BestGamesPage{
            std::vector<BestGamesPage::Row>(scene.bestRows, {99'999'999, 8, "28.08.2088 20:08"})});
    canvas.calls.clear();
    drawer.drawFrame(canvas, game);

    CairoFonts fonts;
    const std::size_t font = fonts.add(canvas.fontRequests.at(0));
    const Font* face = fonts.resolved(font);
    ASSERT_NE(face, nullptr);
    if (face->metrics.family != "Comic Neue")
        GTEST_SKIP() << "the font is " << face->metrics.family;
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
                          {left + laid->ink.left, baseline + laid->ink.top, left + laid->ink.right,
                           baseline + laid->ink.bottom}});
    }
    ASSERT_FALSE(placed.empty());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const PixelRect& ink = placed[i].second;
        EXPECT_TRUE(ink.empty() || intersection(ink, {0, 0, frameWidth, frameHeight}) == ink)
            << placed[i].first << " to " << ink.right;
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(overlaps(ink, placed[j].second))
                << placed[i].first << " overlaps " << placed[j].first;
    }
}

// Each state that shows a text, in each language.
std::vector<Scene> scenes() {
    std::vector<Scene> one{{"Ready", GameState::Ready, 1},
                           {"LifeLost", GameState::LifeLost, 3},
                           {"GameOverPlaced", GameState::GameOver, 4, 10},
                           {"GameOverAfterTheLastLevel", GameState::GameOver, lastLevel + 1, 10},
                           {"Paused", GameState::Paused, 5},
                           {"NoBestGames", GameState::Ready, 1, 0, 0},
                           {"TenBestGames", GameState::Ready, 1, 0, 10}};
    // Level 8 follows the last level.
    for (std::uint8_t level = 1; level <= lastLevel + 1; ++level)
        one.push_back({"Running" + std::to_string(level), GameState::Running, level});
    std::vector<Scene> all;
    for (const Language language : {Language::German, Language::English})
        for (Scene scene : one) {
            scene.name = std::string(languageCode(language)) + "_" + scene.name;
            scene.language = language;
            all.push_back(scene);
        }
    return all;
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameTextsFit, testing::ValuesIn(scenes()),
                         [](const testing::TestParamInfo<Scene>& param) {
                             return param.param.name;
                         });

} // namespace
} // namespace plonta
