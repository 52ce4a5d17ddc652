// Pixels of frames drawn through the Cairo canvas: whole frames against golden images, GDI
// geometry, and frames at a scale against the frame at scale 1.
#include <gtest/gtest.h>

#include <cairo.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "draw/cairo/cairo_canvas.h"
#include "draw/cairo/cairo_fonts.h"
#include "draw/frame.h"
#include "tests/draw/golden.h"
#include "tests/draw/recording_canvas.h"

namespace plonta {
namespace {

constexpr int clientWidth = 400;
constexpr int clientHeight = 500;
constexpr Colour black = rgb(0, 0, 0);

struct Box {
    int left, top, right, bottom; // right and bottom excluded
};

// A pixel of an RGB24 image.
Colour colourAt(const unsigned char* data, int stride, int x, int y) {
    std::uint32_t word = 0;
    std::memcpy(&word, data + static_cast<std::ptrdiff_t>(y) * stride + 4 * x, 4);
    return rgb(static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
               static_cast<std::uint8_t>(word));
}

std::string describe(Colour c) {
    return "(" + std::to_string(redOf(c)) + "," + std::to_string(greenOf(c)) + "," +
           std::to_string(blueOf(c)) + ")";
}

class Picture {
  public:
    explicit Picture(FrameScale scale = 1) : canvas(clientWidth, clientHeight, scale) {
        drawer.createDrawingObjects(canvas);
    }

    void draw(const Game& game) {
        canvas.clear();
        drawer.drawFrame(canvas, game);
    }

    Colour at(int x, int y) { return colourAt(canvas.data(), canvas.stride(), x, y); }

    // Writes the image where a failing test can be looked at.
    std::string keep(const std::string& name) {
        std::filesystem::create_directories(PLONTA_ACTUAL_DIR);
        const std::string path = std::string(PLONTA_ACTUAL_DIR) + "/" + name + ".png";
        canvas.writePng(path.c_str());
        return path;
    }

    CairoCanvas canvas;
    FrameDrawer drawer;
};

// A failure message, or empty when the image matches golden/NAME.png with no channel of any
// pixel further off than tolerance. On a mismatch the image is written to actual/NAME.png;
// PLONTA_UPDATE_GOLDEN=1 rewrites the golden image instead.
std::string compareWithGoldenPng(const std::string& name, Picture& picture, int tolerance) {
    const std::string golden = std::string(PLONTA_GOLDEN_DIR) + "/" + name + ".png";
    if (test::updatingGoldens())
        return picture.canvas.writePng(golden.c_str()) ? "" : "cannot write " + golden;
    const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> expected(
        cairo_image_surface_create_from_png(golden.c_str()), cairo_surface_destroy);
    const int width = cairo_image_surface_get_width(expected.get());
    const int height = cairo_image_surface_get_height(expected.get());
    std::string difference;
    if (cairo_surface_status(expected.get()) != CAIRO_STATUS_SUCCESS) {
        difference = "cannot read " + golden;
    } else if (width != picture.canvas.width() || height != picture.canvas.height()) {
        difference = "the golden image is " + std::to_string(width) + "x" + std::to_string(height);
    } else {
        cairo_surface_flush(expected.get());
        const unsigned char* data = cairo_image_surface_get_data(expected.get());
        const int stride = cairo_image_surface_get_stride(expected.get());
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Colour want = colourAt(data, stride, x, y);
                const Colour seen = picture.at(x, y);
                if (std::abs(redOf(want) - redOf(seen)) <= tolerance &&
                    std::abs(greenOf(want) - greenOf(seen)) <= tolerance &&
                    std::abs(blueOf(want) - blueOf(seen)) <= tolerance)
                    continue;
                if (wrong++ == 0)
                    difference = "pixel (" + std::to_string(x) + "," + std::to_string(y) + ") is " +
                                 describe(seen) + ", expected " + describe(want);
            }
        if (wrong > 1) difference += ", and " + std::to_string(wrong - 1) + " more differ";
    }
    if (difference.empty()) return "";
    return "image differs from " + golden + ": " + difference + "; actual image written to " +
           picture.keep(name) + " (PLONTA_UPDATE_GOLDEN=1 regenerates the golden files)";
}

// The face fontconfig finds for the status font.
std::string statusFontFamily() {
    test::RecordingCanvas requests;
    FrameDrawer().createDrawingObjects(requests);
    CairoFonts fonts;
    const Font* f = fonts.resolved(fonts.add(requests.fontRequests.at(0)));
    return f != nullptr ? f->metrics.family : "";
}

Game runningGame() {
    Game game;
    game.setUp(standardRules, 1);
    game.state = GameState::Running;
    game.conveyor.at(3, 10) = 4; // blue: its outline differs from the dark red line below it
    game.bin.at(0, 0) = 2;
    game.bin.at(4, 4) = 1;
    game.player.paddleLane = 2;
    game.player.carriedCount = 3;
    game.player.carried = {2, 4, 1};
    game.player.score = 1234;
    game.player.dropsLeft = 7;
    game.player.level = 5;
    return game;
}

Game lifeLostGame() {
    Game game = runningGame();
    game.state = GameState::LifeLost;
    game.player.paddleLane = 0;
    game.player.carriedCount = 1;
    game.player.carried = {5, 0, 0};
    return game;
}

Game fullGame() {
    Game game = runningGame();
    for (int lane = 0; lane < laneCount; ++lane)
        for (int cell = 0; cell < laneCells; ++cell)
            game.conveyor.at(lane, cell) = static_cast<Tile>(1 + (lane + cell) % 5);
    for (int column = 0; column < binColumns; ++column)
        for (int row = 0; row < binRows; ++row)
            game.bin.at(column, row) = static_cast<Tile>(1 + (column * 2 + row) % 5);
    game.player.paddleLane = 4;
    return game;
}

struct ScaleCase {
    const char* name;
    FrameScale scale;
    Game (*game)();
};

std::string caseName(const testing::TestParamInfo<ScaleCase>& param) {
    return param.param.name;
}

class FrameImage : public testing::TestWithParam<ScaleCase> {};

// The texts in the images are those of the face the game installs.
TEST_P(FrameImage, MatchesItsGolden) {
    const std::string family = statusFontFamily();
    if (family != "Comic Neue") GTEST_SKIP() << "the status font is " << family;
    Picture p(GetParam().scale);
    p.draw(GetParam().game());
    const std::string failure =
        compareWithGoldenPng(std::string("pixels-") + GetParam().name, p, 2);
    EXPECT_TRUE(failure.empty()) << failure;
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameImage,
                         testing::Values(ScaleCase{"Running", 1, runningGame},
                                         ScaleCase{"LifeLost", 1, lifeLostGame},
                                         ScaleCase{"FullAtTwo", 2, fullGame},
                                         ScaleCase{"LifeLostAtFour", 4, lifeLostGame}),
                         caseName);

TEST(CairoCanvasPixels, RowsAreZeroRedGreenBlueWords) {
    CairoCanvas canvas(20, 10);
    ASSERT_TRUE(canvas.ok());
    const DrawingHandle pen = canvas.createPen(1, rgb(1, 2, 3));
    const DrawingHandle brush = canvas.createSolidBrush(rgb(10, 20, 30));
    canvas.selectObject(pen);
    canvas.selectObject(brush);
    canvas.rectangle(0, 0, 20, 10);
    const unsigned char* data = canvas.data();
    std::uint32_t corner = 0;
    std::uint32_t inside = 0;
    std::memcpy(&corner, data, 4);
    std::memcpy(&inside, data + canvas.stride() * 5 + 4 * 10, 4);
    EXPECT_EQ(corner & 0xFFFFFF, 0x010203u);
    EXPECT_EQ(inside & 0xFFFFFF, 0x0A141Eu);
    canvas.clear();
    std::memcpy(&inside, canvas.data() + canvas.stride() * 5 + 4 * 10, 4);
    EXPECT_EQ(inside & 0xFFFFFF, 0u);
}

TEST(CairoCanvasPixels, WidthOnePenOutlinesTheFigureWithoutRightAndBottomEdge) {
    CairoCanvas canvas(20, 20);
    canvas.selectObject(canvas.createPen(1, rgb(0, 0, 255)));
    canvas.selectObject(canvas.createSolidBrush(rgb(0, 255, 0)));
    canvas.rectangle(5, 5, 10, 10);
    const auto pixel = [&](int x, int y) { return colourAt(canvas.data(), canvas.stride(), x, y); };
    EXPECT_EQ(pixel(5, 5), rgb(0, 0, 255));
    EXPECT_EQ(pixel(9, 9), rgb(0, 0, 255));
    EXPECT_EQ(pixel(6, 6), rgb(0, 255, 0));
    EXPECT_EQ(pixel(8, 8), rgb(0, 255, 0));
    EXPECT_EQ(pixel(10, 7), black);
    EXPECT_EQ(pixel(7, 10), black);
    EXPECT_EQ(pixel(4, 7), black);
}

TEST(CairoCanvasPixels, ShapesAtTheEdgeAreClipped) {
    CairoCanvas canvas(30, 20);
    canvas.selectObject(canvas.createPen(2, rgb(0, 0, 255)));
    canvas.roundRect(-20, -5, 30, 10, 30, 15);
    canvas.roundRect(10, 15, 60, 30, 30, 15);
    // GDI's default brush is white.
    EXPECT_EQ(colourAt(canvas.data(), canvas.stride(), 15, 2), rgb(255, 255, 255));
}

TEST(CairoCanvasPixels, PngThatCannotBeWrittenIsReported) {
    CairoCanvas canvas(4, 4);
    EXPECT_FALSE(canvas.writePng("/nonexistent-directory/frame.png"));
    const std::string path = std::string(PLONTA_ACTUAL_DIR) + "/small.png";
    std::filesystem::create_directories(PLONTA_ACTUAL_DIR);
    EXPECT_TRUE(canvas.writePng(path.c_str()));
    EXPECT_TRUE(std::filesystem::exists(path));
}

// -- scaled frames ----------------------------------------------------------------------------

// Passes every call on, and notes where the texts and the rounded ends of the figures lie, in
// the frame's pixels: there a scaled frame is drawn finer, not blown up.
class FineParts final : public Canvas {
  public:
    explicit FineParts(Canvas& target) : target_(target) {}

    std::vector<Box> parts;

    DrawingHandle createPen(std::int32_t width, Colour colour) override {
        return target_.createPen(width, colour);
    }
    DrawingHandle createSolidBrush(Colour colour) override {
        return target_.createSolidBrush(colour);
    }
    DrawingHandle createFont(const FontRequest& request) override {
        return target_.createFont(request);
    }
    void selectObject(DrawingHandle object) override { target_.selectObject(object); }
    void moveTo(std::int32_t x, std::int32_t y) override { target_.moveTo(x, y); }
    void lineTo(std::int32_t x, std::int32_t y) override { target_.lineTo(x, y); }
    void rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom) override {
        target_.rectangle(left, top, right, bottom);
    }
    void roundRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t ellipseWidth, std::int32_t ellipseHeight) override {
        // The pen reaches a pixel past the top and left; two more of slack either way.
        const int end = ellipseWidth / 2 + 3;
        parts.push_back({left - 3, top - 3, left + end, bottom + 2});
        parts.push_back({right - end, top - 3, right + 2, bottom + 2});
        target_.roundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
    }
    void setBkMode(BackgroundMode mode) override { target_.setBkMode(mode); }
    void setTextColor(Colour colour) override { target_.setTextColor(colour); }
    void setTextAlign(std::uint32_t align) override { target_.setTextAlign(align); }
    void textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override {
        // Whatever the alignment, the text stays in its rows.
        parts.push_back({0, y - 2, clientWidth, y + 18});
        target_.textOut(x, y, text, length);
    }

    // Which pixels of the frame lie in a part drawn finer, row by row.
    std::vector<bool> mask() const {
        std::vector<bool> inside(static_cast<std::size_t>(clientWidth * clientHeight));
        for (const Box& b : parts)
            for (int y = std::max(b.top, 0); y < std::min(b.bottom, clientHeight); ++y)
                for (int x = std::max(b.left, 0); x < std::min(b.right, clientWidth); ++x)
                    inside[static_cast<std::size_t>(y * clientWidth + x)] = true;
        return inside;
    }

  private:
    Canvas& target_;
};

class ScaledFrame : public testing::TestWithParam<ScaleCase> {};

// At a fraction too: every image pixel shows the frame pixel its left and top edges fall in, so
// what meets in the frame meets in the image, with no gap, overlap or shift.
TEST_P(ScaledFrame, IsTheFrameBlownUpOutsideTextsAndRoundedEnds) {
    const FrameScale n = GetParam().scale;
    const Game game = GetParam().game();
    Picture small;
    small.draw(game);
    Picture large(n);
    const int width = n.edge(clientWidth);
    const int height = n.edge(clientHeight);
    ASSERT_EQ(large.canvas.width(), width);
    ASSERT_EQ(large.canvas.height(), height);
    const auto framePixel = [&n](int q) { return q * FrameScale::unit / n.thousandths(); };
    FineParts fine(large.canvas);
    large.canvas.clear();
    large.drawer.drawFrame(fine, game);

    const std::vector<bool> skipped = fine.mask();
    int compared = 0;
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int fx = framePixel(x);
            const int fy = framePixel(y);
            if (skipped[static_cast<std::size_t>(fy * clientWidth + fx)]) continue;
            ++compared;
            const Colour expected = small.at(fx, fy);
            if (large.at(x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << "," << y << ") at scale " << n.text() << " is "
                              << describe(large.at(x, y)) << ", (" << fx << "," << fy
                              << ") at scale 1 " << describe(expected) << "; images at "
                              << small.keep("scale-1") << " and " << large.keep("scaled");
        }
    EXPECT_EQ(wrong, 0);
    // Most of the frame is compared, a full conveyor and bin included.
    EXPECT_GT(compared, width * height * 3 / 5);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ScaledFrame,
    testing::Values(
        ScaleCase{"RunningAtTwo", 2, runningGame}, ScaleCase{"FullAtTwo", 2, fullGame},
        ScaleCase{"FullAtThree", 3, fullGame}, ScaleCase{"LifeLostAtFour", 4, lifeLostGame},
        ScaleCase{"FullAtOnePointSix", FrameScale::ofThousandths(1600), fullGame},
        ScaleCase{"RunningAtTwoPointNine", FrameScale::ofThousandths(2900), runningGame},
        ScaleCase{"LifeLostAtAThousandthOver1", FrameScale::ofThousandths(1001), lifeLostGame}),
    caseName);

// An odd pen's edges fall between pixel centres; scaled, they still cover whole blocks.
TEST(ScaledFigure, ThinPenFigureIsBlownUpAlongItsStraightEdges) {
    const auto draw = [](CairoCanvas& canvas) {
        canvas.selectObject(canvas.createPen(1, rgb(0, 0, 255)));
        canvas.selectObject(canvas.createSolidBrush(rgb(0, 255, 0)));
        canvas.roundRect(5, 5, 45, 25, 12, 8);
        canvas.rectangle(50, 5, 60, 25);
    };
    CairoCanvas small(70, 30);
    draw(small);
    for (const int n : {2, 3}) {
        CairoCanvas large(70, 30, n);
        draw(large);
        const auto pixel = [](CairoCanvas& c, int x, int y) {
            return colourAt(c.data(), c.stride(), x, y);
        };
        int wrong = 0;
        for (int y = 0; y < 30 * n; ++y)
            for (int x = 0; x < 70 * n; ++x) {
                const int sx = x / n;
                const int sy = y / n;
                // The corners, 6 by 4 pixels, are drawn finer.
                const bool corner = sx < 50 && (sx < 12 || sx >= 38) && (sy < 10 || sy >= 20);
                if (!corner && pixel(large, x, y) != pixel(small, sx, sy) && wrong++ < 3)
                    ADD_FAILURE() << "scale " << n << ": pixel (" << x << "," << y << ")";
            }
        EXPECT_EQ(wrong, 0) << "scale " << n;
    }
}

struct Ink {
    int minX = 1 << 20, minY = 1 << 20, maxX = -1, maxY = -1;
    bool any() const { return maxX >= 0; }
};

// The ink inside a box of the frame's pixels, in image pixels.
Ink inkIn(Picture& p, Box frameBox) {
    const int n = p.canvas.scale().wholePart();
    Ink ink;
    for (int y = frameBox.top * n; y < frameBox.bottom * n; ++y)
        for (int x = frameBox.left * n; x < frameBox.right * n; ++x)
            if (p.at(x, y) != black) {
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
                ink.minY = std::min(ink.minY, y);
                ink.maxY = std::max(ink.maxY, y);
            }
    return ink;
}

// Texts come out n times as large and in the same places, drawn at that size: their edges
// fall inside the blocks a blown-up pixel would make.
TEST(ScaledText, IsDrawnAtTheScaleNotBlownUp) {
    const Game game = lifeLostGame();
    Picture small;
    small.draw(game);
    for (const int n : {2, 4}) {
        Picture large(n);
        large.draw(game);
        // The status band and the three message lines.
        for (const Box& band : {Box{0, 0, clientWidth, 48}, Box{0, 78, clientWidth, 98},
                                Box{0, 98, clientWidth, 118}, Box{0, 118, clientWidth, 138}}) {
            const Ink one = inkIn(small, band);
            const Ink many = inkIn(large, band);
            ASSERT_TRUE(one.any() && many.any());
            EXPECT_NEAR(many.minX, n * one.minX, n + 1) << "scale " << n << " band " << band.top;
            EXPECT_NEAR(many.maxX, n * one.maxX + n - 1, n + 2)
                << "scale " << n << " band " << band.top;
            EXPECT_NEAR(many.minY, n * one.minY, n + 1) << "scale " << n << " band " << band.top;
            EXPECT_NEAR(many.maxY, n * one.maxY + n - 1, n + 1)
                << "scale " << n << " band " << band.top;
        }
        int blocks = 0;
        int mixed = 0;
        for (int by = 78; by < 138; ++by)
            for (int bx = 0; bx < clientWidth; ++bx) {
                const Colour first = large.at(bx * n, by * n);
                bool uniform = true;
                for (int y = by * n; y < (by + 1) * n; ++y)
                    for (int x = bx * n; x < (bx + 1) * n; ++x)
                        uniform = uniform && large.at(x, y) == first;
                blocks += first != black || !uniform;
                mixed += !uniform;
            }
        EXPECT_GT(mixed, blocks / 3) << "scale " << n << "; image at " << large.keep("text");
    }
}

} // namespace
} // namespace plonta
