// Retained frames of the Cairo canvas: only what changed is drawn again, and the pixels are
// those of the whole frame drawn on a cleared image.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "draw/cairo/cairo_canvas.h"
#include "draw/frame.h"
#include "game/command.h"
#include "game/random.h"

namespace plonta {
namespace {

constexpr int clientWidth = 400;
constexpr int clientHeight = 500;

// The image's pixels, row after row, the unused top byte included.
std::vector<std::uint32_t> pixels(CairoCanvas& c) {
    std::vector<std::uint32_t> all(static_cast<std::size_t>(c.width() * c.height()));
    const unsigned char* data = c.data();
    for (int y = 0; y < c.height(); ++y)
        std::memcpy(all.data() + static_cast<std::ptrdiff_t>(y) * c.width(),
                    data + static_cast<std::ptrdiff_t>(y) * c.stride(),
                    static_cast<std::size_t>(c.width()) * 4);
    return all;
}

std::string keep(CairoCanvas& c, const std::string& name) {
    std::filesystem::create_directories(PLONTA_ACTUAL_DIR);
    const std::string path = std::string(PLONTA_ACTUAL_DIR) + "/" + name + ".png";
    c.writePng(path.c_str());
    return path;
}

bool inside(const std::vector<PixelRect>& rects, int x, int y) {
    for (const PixelRect& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

// A canvas with its drawer, drawing each frame one way or the other.
struct Painter {
    explicit Painter(FrameScale scale) : canvas(clientWidth, clientHeight, scale) {
        drawer.createDrawingObjects(canvas);
    }
    const std::vector<PixelRect>& retained(const Game& game) {
        canvas.beginFrame();
        drawer.drawFrame(canvas, game);
        return canvas.endFrame();
    }
    void whole(const Game& game) {
        canvas.clear();
        drawer.drawFrame(canvas, game);
    }
    CairoCanvas canvas;
    FrameDrawer drawer;
};

// One step of a game played at random: mostly the rules' own moves, now and then a tile put
// somewhere by hand, so that many kinds of frame follow one another.
void step(Game& game, RandomSource& random) {
    const int roll = random.nextRandom() % 16;
    if (roll < 6) {
        game.tick();
    } else if (roll < 8) {
        applyCommand(game, Command::PaddleLeft);
    } else if (roll < 10) {
        applyCommand(game, Command::PaddleRight);
    } else if (roll < 12) {
        applyCommand(game, Command::Action);
    } else if (roll < 13) {
        applyCommand(game, Command::TogglePause);
    } else if (roll < 14) {
        game.conveyor.at(random.nextRandom() % 4, random.nextRandom() % laneCells) =
            static_cast<Tile>(1 + random.nextRandom() % 5);
    } else if (roll < 15) {
        game.bin.at(random.nextRandom() % binColumns, random.nextRandom() % binRows) =
            static_cast<Tile>(random.nextRandom() % 6);
    } else {
        game.player.score += random.nextRandom();
        game.player.dropsLeft = static_cast<std::uint8_t>(random.nextRandom() % 11);
    }
}

struct PlayCase {
    const char* name;
    FrameScale scale;
    std::uint32_t seed;
    int steps;
};

class RetainedPlay : public testing::TestWithParam<PlayCase> {};

TEST_P(RetainedPlay, EveryFrameEqualsTheWholeFrameAndOnlyTheNamedPartsChange) {
    const PlayCase& play = GetParam();
    Painter retained(play.scale);
    Painter whole(play.scale);
    Game game;
    game.setUp(standardRules, play.seed);
    RandomSource random;
    random.seedRandom(play.seed);
    std::vector<std::uint32_t> before;
    const int width = play.scale.edge(clientWidth);
    int partial = 0;
    for (int frame = 0; frame < play.steps; ++frame) {
        if (frame > 0) step(game, random);
        const std::vector<PixelRect> parts = retained.retained(game);
        whole.whole(game);
        partial +=
            parts.size() != 1 || parts[0] != PixelRect{0, 0, width, play.scale.edge(clientHeight)};
        const std::vector<std::uint32_t> now = pixels(retained.canvas);
        if (now != pixels(whole.canvas)) {
            const std::vector<std::uint32_t> expected = pixels(whole.canvas);
            std::size_t at = 0;
            while (now[at] == expected[at]) ++at;
            FAIL() << "frame " << frame << ": pixel (" << at % width << "," << at / width
                   << ") differs from the whole frame; images at "
                   << keep(retained.canvas, "retained") << " and " << keep(whole.canvas, "whole");
        }
        for (std::size_t at = 0; at < before.size(); ++at) {
            if (now[at] == before[at]) continue;
            const int x = static_cast<int>(at % static_cast<std::size_t>(width));
            const int y = static_cast<int>(at / static_cast<std::size_t>(width));
            ASSERT_TRUE(inside(parts, x, y)) << "frame " << frame << ": pixel (" << x << "," << y
                                             << ") changed outside the parts named";
        }
        before = now;
    }
    // Most frames were drawn in part: the comparison is not of whole frames only.
    EXPECT_GT(partial, play.steps / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Games, RetainedPlay,
    testing::Values(PlayCase{"SeedOne", 1, 1, 400}, PlayCase{"SeedTwelve", 1, 12, 400},
                    PlayCase{"SeedOneAtTwo", 2, 1, 120}, PlayCase{"SeedFiveAtThree", 3, 5, 60},
                    PlayCase{"SeedSevenAtOnePointSix", FrameScale::ofThousandths(1600), 7, 120},
                    PlayCase{"SeedNineAtTwoPointNine", FrameScale::ofThousandths(2900), 9, 60}),
    [](const testing::TestParamInfo<PlayCase>& param) { return std::string(param.param.name); });

// A paddle's move draws again round the paddle only.
TEST(RetainedFrame, SmallChangeDrawsASmallPart) {
    Painter p(1);
    Game game;
    game.setUp(standardRules, 3);
    p.retained(game);
    applyCommand(game, Command::PaddleRight);
    int area = 0;
    for (const PixelRect& r : p.retained(game)) area += (r.right - r.left) * (r.bottom - r.top);
    EXPECT_GT(area, 0);
    EXPECT_LT(area, clientWidth * clientHeight / 10);
}

// Anything that may have changed the pixels behind the frames' back starts a whole frame.
TEST(RetainedFrame, WholeAgainAfterDrawingOutsideAFrameOrANewImage) {
    Painter p(1);
    Game game;
    game.setUp(standardRules, 3);
    const std::vector<PixelRect> all{{0, 0, clientWidth, clientHeight}};
    p.retained(game);
    p.whole(game);
    EXPECT_EQ(p.retained(game), all);
    p.canvas.moveTo(0, 0);
    p.canvas.lineTo(10, 0);
    EXPECT_EQ(p.retained(game), all);
    ASSERT_TRUE(p.canvas.setImage(2));
    EXPECT_EQ(p.retained(game),
              (std::vector<PixelRect>{{0, 0, 2 * clientWidth, 2 * clientHeight}}));
    EXPECT_TRUE(p.retained(game).empty());
}

} // namespace
} // namespace plonta
