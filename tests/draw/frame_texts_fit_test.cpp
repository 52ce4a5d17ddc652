// Every text of every language, in every state that shows one, fits the frame in the face the
// game installs, and no two of a frame's texts overlap.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
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
    bool sendable = false; // S sends: its hint, and what came of the last game sent
    BestGamesPage::Sent sent{};
};

void PrintTo(const Scene& scene, std::ostream* out) {
    *out << scene.name;
}

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
        drawer.showBestGames(
            BestGamesPage{std::vector<BestGamesPage::Row>(
                              scene.bestRows, {99'999'999, lastLevel + 1, "28.08.2088 20:08"}),
                          0, scene.sendable, scene.sent});
    canvas.calls.clear();
    drawer.drawFrame(canvas, game);

    CairoFonts fonts;
    const std::size_t font = fonts.add(canvas.fontRequests.at(0));
    const Font* face = fonts.resolved(font);
    ASSERT_NE(face, nullptr);
    if (face->metrics.family != "Comic Neue")
        GTEST_SKIP() << "the font is " << face->metrics.family;
    std::vector<std::pair<std::string, PixelRect>> placed; // each text quoted, its ink
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
        placed.push_back({call.substr(call.find('"')),
                          {left + laid->ink.left, baseline + laid->ink.top, left + laid->ink.right,
                           baseline + laid->ink.bottom}});
    }
    ASSERT_FALSE(placed.empty());
    const auto shown = [&](std::size_t k) {
        return placed[k].first + " from " + std::to_string(placed[k].second.left) + " to " +
               std::to_string(placed[k].second.right);
    };
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const PixelRect& ink = placed[i].second;
        if (ink.empty()) continue;
        EXPECT_TRUE(intersection(ink, {0, 0, frameWidth, frameHeight}) == ink) << shown(i);
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(overlaps(ink, placed[j].second)) << shown(i) << " overlaps " << shown(j);
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
    using Sent = BestGamesPage::Sent;
    // A server's reason as long as the frame takes one, in the widest letter.
    const std::string reason(BestGamesPage::maxReason, 'W');
    for (const Sent& sent :
         {Sent{}, Sent{Sent::Kind::Sending, 0, {}}, Sent{Sent::Kind::Sent, 99'999'999, {}},
          Sent{Sent::Kind::Refused, 0, reason}, Sent{Sent::Kind::NoAnswer, 0, {}}})
        one.push_back({"Sendable" + std::to_string(static_cast<int>(sent.kind)), GameState::Ready,
                       1, 0, 10, Language::German, true, sent});
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
