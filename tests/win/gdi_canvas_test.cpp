// The GDI canvas draws what GDI draws: colours and rectangles read back from a DIB section.
#include <gtest/gtest.h>

#include "draw/frame.h"
#include "draw/gdi/gdi_canvas.h"
#include "tests/win/dib.h"

namespace plonta::test {
namespace {

const Rgb black{0, 0, 0};
const Rgb red{255, 0, 0};
const Rgb darkRed{180, 0, 0};

class GdiCanvasPixels : public ::testing::Test {
  protected:
    void SetUp() override {
        drawer.createDrawingObjects(canvas);
        canvas.bind(image.dc());
    }
    void TearDown() override {
        if (HasFailure()) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            image.save(std::string("win_gdi_canvas_") + info->name() + ".ppm");
        }
    }

    GdiCanvas canvas;
    FrameDrawer drawer;
    Dib image{400, 500};
};

TEST_F(GdiCanvasPixels, HandlesStandForTheObjectsInCreationOrder) {
    for (std::size_t i = 0; i < drawer.drawingObjects.size(); ++i) {
        EXPECT_NE(drawer.drawingObjects[i], 0u) << i;
        EXPECT_NE(canvas.object(drawer.drawingObjects[i]), nullptr) << i;
    }
    EXPECT_EQ(GetObjectType(canvas.object(drawer.drawingObjects[0])), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(canvas.object(drawer.drawingObjects[2])),
              static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(canvas.object(drawer.drawingObjects[9])), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(canvas.object(0), nullptr);
    EXPECT_EQ(canvas.object(99), nullptr);
}

TEST_F(GdiCanvasPixels, ObjectsAreMadeWithNoDeviceContextBound) {
    GdiCanvas unbound;
    EXPECT_EQ(unbound.boundContext(), nullptr);
    const DrawingHandle pen = unbound.createPen(2, rgb(1, 2, 3));
    LOGPEN made{};
    ASSERT_EQ(GetObjectA(unbound.object(pen), sizeof made, &made), static_cast<int>(sizeof made));
    EXPECT_EQ(made.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(made.lopnWidth.x, 2);
    EXPECT_EQ(made.lopnColor, rgb(1, 2, 3));
}

TEST_F(GdiCanvasPixels, TheFontIsTheOneAskedFor) {
    LOGFONTA font{};
    ASSERT_EQ(GetObjectA(canvas.object(drawer.drawingObjects[0]), sizeof font, &font),
              static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, 15);
    EXPECT_EQ(font.lfWidth, 8);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfCharSet, 1);
    EXPECT_EQ(font.lfOutPrecision, 2);
    EXPECT_EQ(font.lfClipPrecision, 1);
    EXPECT_STREQ(font.lfFaceName, "Comic Sans MS");
}

// A red tile at bin cell (0, 0): (50, 350) to (100, 365), outlined by a 2-pixel dark red pen.
TEST_F(GdiCanvasPixels, ATileIsRedInsideWithADarkRedOutline) {
    drawer.drawTile(canvas, 50, 350, 2);
    EXPECT_EQ(image.at(75, 357), red);
    EXPECT_EQ(image.at(60, 357), red);
    EXPECT_EQ(image.at(75, 350), darkRed); // top edge
    EXPECT_EQ(image.at(75, 364), darkRed); // bottom edge, inside the rectangle
    EXPECT_EQ(image.at(50, 357), darkRed); // left edge at the middle of the rounded end
    EXPECT_EQ(image.at(99, 357), darkRed); // right edge
    EXPECT_EQ(image.at(75, 366), black);   // below: free
    EXPECT_EQ(image.at(101, 357), black);  // right: free
    EXPECT_EQ(image.at(50, 350), black);   // the corner is rounded off
    EXPECT_EQ(image.at(99, 364), black);
}

TEST_F(GdiCanvasPixels, BinWallsAreRedWithDarkRedEdgesAndTheLinesDarkRed) {
    drawer.drawBorders(canvas);
    EXPECT_EQ(image.at(35, 400), red);     // left wall inside
    EXPECT_EQ(image.at(30, 400), darkRed); // its left edge
    EXPECT_EQ(image.at(39, 400), darkRed); // its right edge
    EXPECT_EQ(image.at(355, 400), red);
    EXPECT_EQ(image.at(200, 449), red); // floor
    EXPECT_EQ(image.at(200, 445), darkRed);
    EXPECT_EQ(image.at(200, 454), darkRed);
    EXPECT_EQ(image.at(200, 456), black);
    EXPECT_EQ(image.at(200, 50), darkRed); // conveyor lines
    EXPECT_EQ(image.at(200, 220), darkRed);
    EXPECT_EQ(image.at(200, 135), black);
    // A 2-pixel pen straddles the path: the extra pixel lies left of and above it.
    EXPECT_EQ(image.at(29, 400), darkRed);
    EXPECT_EQ(image.at(28, 400), black);
    EXPECT_EQ(image.at(40, 400), black);
}

TEST_F(GdiCanvasPixels, TextIsRedInkInsideItsBoxAndRightAlignmentEndsAtX) {
    drawer.drawStatus(canvas, [] {
        Game game;
        game.setUp(standardRules, 1);
        return game;
    }());
    // The score "00000000" ends at x 390, from y 10, 15 high.
    int inkLeft = 400, inkRight = -1, inkTop = 500, inkBottom = -1;
    for (int y = 5; y < 30; ++y) {
        for (int x = 250; x < 400; ++x) {
            const Rgb p = image.at(x, y);
            if (p.red < 100 || p.green > 80 || p.blue > 80) continue;
            inkLeft = std::min(inkLeft, x);
            inkRight = std::max(inkRight, x);
            inkTop = std::min(inkTop, y);
            inkBottom = std::max(inkBottom, y);
        }
    }
    ASSERT_GE(inkRight, 0) << "no red ink where the score belongs";
    EXPECT_LE(inkRight, 390);
    EXPECT_GE(inkRight, 380);
    EXPECT_GE(inkTop, 10);
    EXPECT_LE(inkBottom, 25);
    EXPECT_LT(inkLeft, 350); // eight digits of about 8 pixels
    // Transparent background: no box behind the glyphs.
    EXPECT_EQ(image.at(389, 11), black);
}

TEST(Frame, ARunningGameDrawnThroughGdiLandsAtThePlayfieldsPlaces) {
    Game game;
    game.setUp(standardRules, 12345);
    game.action();
    game.conveyor.at(3, 10) = 4;  // blue, its bottom edge on the lower line
    game.bin.at(4, 4) = 3;        // green, 8 pixels above the floor
    game.player.carriedCount = 1; // white, just above the paddle
    game.player.carried = {1, 0, 0};

    GdiCanvas canvas;
    FrameDrawer drawer;
    drawer.createDrawingObjects(canvas);
    Dib image(400, 500);
    canvas.bind(image.dc());
    drawer.drawFrame(canvas, game);
    canvas.bind(nullptr);

    const Rgb blue{0, 0, 255}, green{0, 255, 0}, white{255, 255, 255};
    EXPECT_EQ(image.at(260, 212), blue);  // conveyor lane 3, cell 10
    EXPECT_EQ(image.at(315, 429), green); // bin column 4, row 4
    EXPECT_EQ(image.at(195, 267), white); // the carried tile over lane 2
    EXPECT_EQ(image.at(195, 285), white); // the paddle, 15 lower for one carried tile
    EXPECT_EQ(image.at(35, 400), red);    // left bin wall
    EXPECT_EQ(image.at(355, 400), red);   // right bin wall
    EXPECT_EQ(image.at(200, 450), red);   // floor
    EXPECT_EQ(image.at(200, 300), black); // nothing under the paddle
    EXPECT_EQ(image.at(260, 232), black); // cell 11 is never drawn
    if (HasFailure()) image.save("win_gdi_frame.ppm");
}

// At scale 2 every pixel of straight figures (below the texts) is a 2 by 2 block of the scale-1
// pixel, and texts are twice as tall; scale 1 is GDI's own drawing.
TEST(GdiCanvasScale, StraightFiguresBecomeBlocksAndTextsGrow) {
    Game game;
    game.setUp(standardRules, 1);
    auto draw = [&](Dib& image, int scale) {
        GdiCanvas canvas;
        FrameDrawer drawer;
        drawer.createDrawingObjects(canvas);
        canvas.setScale(scale);
        canvas.bind(image.dc());
        drawer.drawStatus(canvas, game);
        canvas.selectObject(drawer.drawingObjects[9]);
        canvas.selectObject(drawer.drawingObjects[2]);
        canvas.rectangle(20, 160, 61, 181);
        canvas.moveTo(10, 200);
        canvas.lineTo(90, 200);
        canvas.lineTo(90, 250);
    };
    Dib one{400, 500};
    Dib two{800, 1000};
    draw(one, 1);
    draw(two, 2);
    int blocksDiffering = 0;
    for (int y = 150; y < 500; ++y)
        for (int x = 0; x < 400; ++x)
            for (int k = 0; k < 4; ++k)
                blocksDiffering += two.at(2 * x + k % 2, 2 * y + k / 2) != one.at(x, y);
    EXPECT_EQ(blocksDiffering, 0);
    EXPECT_EQ(two.at(80, 340), red);
    auto inkRows = [](const Dib& image) {
        int rows = 0;
        for (int y = 0; y < image.height() / 10; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.at(x, y).red > 100) {
                    ++rows;
                    break;
                }
        return rows;
    };
    EXPECT_NEAR(inkRows(two), 2 * inkRows(one), 3);
}

} // namespace
} // namespace plonta::test
