// Pixels of frames drawn through the Cairo canvas: flat colours, GDI geometry, text placement.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "draw/cairo/cairo_canvas.h"
#include "draw/frame.h"
#include "draw/status.h"

namespace plonta {
namespace {

constexpr int clientWidth = 400;
constexpr int clientHeight = 500;
constexpr int tolerance = 2;

struct Box {
    int left, top, right, bottom; // right and bottom excluded
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

class Picture {
  public:
    explicit Picture(int scale = 1) : canvas(clientWidth, clientHeight, scale) {
        drawer.createDrawingObjects(canvas);
    }

    void draw(const Game& game) {
        canvas.clear();
        drawer.drawFrame(canvas, game);
    }

    Colour at(int x, int y) {
        const unsigned char* row = canvas.data() + static_cast<std::ptrdiff_t>(y) * canvas.stride();
        std::uint32_t word = 0;
        std::memcpy(&word, row + 4 * x, 4);
        return rgb(static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                   static_cast<std::uint8_t>(word));
    }

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

bool near(Colour a, Colour b) {
    return std::abs(redOf(a) - redOf(b)) <= tolerance &&
           std::abs(greenOf(a) - greenOf(b)) <= tolerance &&
           std::abs(blueOf(a) - blueOf(b)) <= tolerance;
}

bool isRedInk(Colour c) {
    return redOf(c) > 0 && greenOf(c) <= tolerance && blueOf(c) <= tolerance;
}

constexpr Colour black = rgb(0, 0, 0);
constexpr Colour white = rgb(255, 255, 255);
constexpr Colour grey = rgb(180, 180, 180);
constexpr Colour red = rgb(255, 0, 0);
constexpr Colour darkRed = rgb(180, 0, 0);
constexpr Colour blue = rgb(0, 0, 255);
constexpr Colour darkBlue = rgb(0, 0, 180);

std::string describe(Colour c) {
    return "(" + std::to_string(redOf(c)) + "," + std::to_string(greenOf(c)) + "," +
           std::to_string(blueOf(c)) + ")";
}

#define EXPECT_PIXEL(picture, x, y, colour)                                                        \
    do {                                                                                           \
        const Colour seen = (picture).at(x, y);                                                    \
        if (!near(seen, colour)) {                                                                 \
            ADD_FAILURE() << "pixel (" << (x) << "," << (y) << ") is " << describe(seen)           \
                          << ", expected " << describe(colour) << "; image at "                    \
                          << (picture).keep(                                                       \
                                 testing::UnitTest::GetInstance()->current_test_info()->name());   \
        }                                                                                          \
    } while (false)

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
    return game;
}

// The outline ring of an outlined figure: two pixels, one either side of the first and last
// pixel's centre (left and top), and the last two inside the right and bottom edges.
void expectOutlinedBar(Picture& p, Box box, Colour pen, Colour brush, bool coveredAbove = false) {
    const int midX = (box.left + box.right) / 2;
    const int midY = (box.top + box.bottom) / 2;
    EXPECT_PIXEL(p, midX, midY, brush);
    if (!coveredAbove) EXPECT_PIXEL(p, midX, box.top - 1, pen);
    EXPECT_PIXEL(p, midX, box.top, pen);
    EXPECT_PIXEL(p, midX, box.top + 1, brush);
    EXPECT_PIXEL(p, midX, box.bottom - 3, brush);
    EXPECT_PIXEL(p, midX, box.bottom - 2, pen);
    EXPECT_PIXEL(p, midX, box.bottom - 1, pen);
}

TEST(CairoFrame, TileOfCodeTwoIsExactRedWithDarkRedOutline) {
    Picture p;
    p.draw(runningGame());
    expectOutlinedBar(p, {50, 350, 100, 365}, darkRed, red); // bin (0, 0)
    EXPECT_PIXEL(p, 75, 348, black);
    EXPECT_PIXEL(p, 75, 365, black);
    // The rounded ends only touch the box's sides, two pen pixels thick, no nub outside.
    EXPECT_PIXEL(p, 49, 357, black);
    EXPECT_PIXEL(p, 50, 357, darkRed);
    EXPECT_PIXEL(p, 51, 357, darkRed);
    EXPECT_PIXEL(p, 52, 357, red);
    EXPECT_PIXEL(p, 97, 357, red);
    EXPECT_PIXEL(p, 98, 357, darkRed);
    EXPECT_PIXEL(p, 99, 357, darkRed);
    EXPECT_PIXEL(p, 100, 357, black);
    // Rounded ends: the corners of the box stay black.
    EXPECT_PIXEL(p, 50, 350, black);
    EXPECT_PIXEL(p, 99, 364, black);
}

TEST(CairoFrame, ConveyorCellTenEndsOnTheLowerLine) {
    Picture p;
    p.draw(runningGame());
    expectOutlinedBar(p, {235, 205, 285, 220}, darkBlue, blue);
    EXPECT_PIXEL(p, 260, 203, black);
    EXPECT_PIXEL(p, 260, 220, darkRed); // the line below, not painted over
    EXPECT_PIXEL(p, 260, 221, black);
}

TEST(CairoFrame, BinCellFourFourIsWhiteWithGreyOutline) {
    Picture p;
    p.draw(runningGame());
    expectOutlinedBar(p, {290, 422, 340, 437}, grey, white);
    EXPECT_PIXEL(p, 315, 437, black);
    EXPECT_PIXEL(p, 315, 443, black); // the gap above the floor
}

TEST(CairoFrame, CarriedStackAndPaddle) {
    Picture p;
    p.draw(runningGame());
    expectOutlinedBar(p, {170, 260, 220, 275}, grey, white); // newest: code 1
    // Each tile's upper pen row lies under the bottom row of the newer tile above it.
    expectOutlinedBar(p, {170, 275, 220, 290}, darkBlue, blue, true); // middle: code 4
    expectOutlinedBar(p, {170, 290, 220, 305}, darkRed, red, true);   // oldest: code 2
    EXPECT_PIXEL(p, 195, 274, grey);
    EXPECT_PIXEL(p, 195, 289, darkBlue);
    EXPECT_PIXEL(p, 195, 306, black);
    EXPECT_PIXEL(p, 195, 308, black);
    expectOutlinedBar(p, {160, 310, 230, 320}, grey, white);
    EXPECT_PIXEL(p, 195, 320, black);
    EXPECT_PIXEL(p, 158, 315, black);
    EXPECT_PIXEL(p, 230, 315, black);
}

TEST(CairoFrame, BarePaddleInLaneZero) {
    Picture p;
    Game game;
    game.setUp(standardRules, 1);
    game.player.paddleLane = 0;
    p.draw(game);
    expectOutlinedBar(p, {40, 265, 110, 275}, grey, white);
    EXPECT_PIXEL(p, 75, 262, black);
    EXPECT_PIXEL(p, 75, 275, black);
}

TEST(CairoFrame, WallsFloorAndConveyorLines) {
    Picture p;
    p.draw(runningGame());
    EXPECT_PIXEL(p, 35, 400, red);
    EXPECT_PIXEL(p, 29, 400, darkRed);
    EXPECT_PIXEL(p, 30, 400, darkRed);
    EXPECT_PIXEL(p, 38, 400, darkRed);
    EXPECT_PIXEL(p, 39, 400, darkRed);
    EXPECT_PIXEL(p, 28, 400, black);
    EXPECT_PIXEL(p, 40, 400, black);
    EXPECT_PIXEL(p, 355, 400, red);
    EXPECT_PIXEL(p, 360, 400, black);
    EXPECT_PIXEL(p, 35, 338, black);
    EXPECT_PIXEL(p, 35, 339, darkRed);
    EXPECT_PIXEL(p, 200, 450, red);
    EXPECT_PIXEL(p, 200, 443, black);
    EXPECT_PIXEL(p, 200, 444, darkRed);
    EXPECT_PIXEL(p, 200, 454, darkRed);
    EXPECT_PIXEL(p, 200, 455, black);
    for (const int y : {49, 50, 219, 220}) {
        // The width-2 pen's round caps reach one pixel past both ends.
        EXPECT_PIXEL(p, 4, y, darkRed);
        EXPECT_PIXEL(p, 390, y, darkRed);
        EXPECT_PIXEL(p, 3, y, black);
        EXPECT_PIXEL(p, 391, y, black);
    }
    EXPECT_PIXEL(p, 200, 48, black);
    EXPECT_PIXEL(p, 200, 51, black);
}

// Every pixel outside the shapes' boxes (grown by the pen) and the text boxes is black.
TEST(CairoFrame, BlackOutsideTheShapesAndTexts) {
    Picture p;
    const Game game = runningGame();
    p.draw(game);
    const std::vector<Box>
        boxes{
            {4, 49, 391, 51},     {4, 219, 391, 221},     {28, 338, 41, 456},
            {348, 338, 361, 456}, {28, 443, 361, 456},    {233, 203, 286, 221},
            {48, 348, 101, 366},  {288, 420, 341, 438},   {168, 258, 221, 306},
            {158, 308, 231, 321}, {0, 0, clientWidth, 48}}; // the status band above the upper line
    int stray = 0;
    for (int y = 0; y < clientHeight; ++y)
        for (int x = 0; x < clientWidth; ++x) {
            bool inside = false;
            for (const Box& b : boxes) inside = inside || b.contains(x, y);
            if (!inside && p.at(x, y) != black && stray++ < 5)
                ADD_FAILURE() << "stray pixel at (" << x << "," << y << ") " << describe(p.at(x, y))
                              << "; image at " << p.keep("stray");
        }
    EXPECT_EQ(stray, 0);
}

// Where a text's ink must lie: its cell from the anchor, the alignment and the text's advance.
struct ExpectedText {
    std::string bytes;
    int x, y;
    std::uint32_t align;
};

Box cellOf(CairoCanvas& canvas, const ExpectedText& t, int cellHeight) {
    const int width = canvas.textWidth(t.bytes.data(), static_cast<std::int32_t>(t.bytes.size()));
    int left = t.x;
    if (t.align == alignRight) left = t.x - width;
    if (t.align == alignCenter) left = t.x - width / 2;
    // One pixel of slack for glyphs that overhang their advance.
    return {left - 1, t.y, left + width + 2, t.y + cellHeight};
}

struct Ink {
    int minX = 1 << 20, minY = 1 << 20, maxX = -1, maxY = -1;
    bool any() const { return maxX >= 0; }
};

void checkTexts(Picture& p, const std::vector<ExpectedText>& texts, Box band) {
    FontMetrics metrics;
    ASSERT_TRUE(p.canvas.fontMetrics(p.drawer.drawingObjects[0], metrics));
    p.canvas.selectObject(p.drawer.drawingObjects[0]);
    std::vector<Box> cells;
    std::vector<Ink> inks(texts.size());
    for (const ExpectedText& t : texts) cells.push_back(cellOf(p.canvas, t, metrics.cellHeight));
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = band.left; x < band.right; ++x) {
            if (p.at(x, y) == black) continue;
            bool owned = false;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                if (!cells[i].contains(x, y)) continue;
                owned = true;
                Ink& ink = inks[i];
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
                ink.minY = std::min(ink.minY, y);
                ink.maxY = std::max(ink.maxY, y);
            }
            EXPECT_TRUE(owned && isRedInk(p.at(x, y)))
                << "pixel (" << x << "," << y << ") " << describe(p.at(x, y))
                << " is no text ink of any text; image at " << p.keep("text-ink");
        }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const ExpectedText& t = texts[i];
        const Ink& ink = inks[i];
        const bool visible = t.bytes.find_first_not_of(' ') != std::string::npos;
        EXPECT_EQ(ink.any(), visible) << t.bytes;
        if (!visible || !ink.any()) continue;
        // Ink starts near the anchor on its side and spans roughly 8 pixels a character.
        const int chars = static_cast<int>(t.bytes.size());
        const int inkWidth = ink.maxX - ink.minX + 1;
        if (t.align == alignLeft) {
            EXPECT_LE(ink.minX, t.x + 3) << t.bytes;
        } else if (t.align == alignRight) {
            EXPECT_GE(ink.maxX, t.x - 4) << t.bytes;
        } else {
            EXPECT_NEAR((ink.minX + ink.maxX) / 2.0, t.x, 4) << t.bytes;
        }
        const auto blank = t.bytes.find_first_not_of(' ');
        const int inked = chars - static_cast<int>(blank);
        EXPECT_GE(inkWidth, inked * 4) << t.bytes;
        EXPECT_LE(inkWidth, inked * 12) << t.bytes;
        EXPECT_GE(ink.minY, t.y) << t.bytes;
        EXPECT_LE(ink.maxY, t.y + 15) << t.bytes;
        EXPECT_GE(ink.maxY - ink.minY, 6) << t.bytes;
    }
}

TEST(CairoText, FontCellIsFifteenPixels) {
    Picture p;
    FontMetrics metrics;
    ASSERT_TRUE(p.canvas.fontMetrics(p.drawer.drawingObjects[0], metrics));
    EXPECT_FALSE(metrics.family.empty());
    EXPECT_EQ(metrics.cellHeight, 15);
    EXPECT_NEAR(metrics.ascent + metrics.descent, 15.0, 1e-9);
    EXPECT_GT(metrics.baseline, 7);
    EXPECT_LT(metrics.baseline, 15);
    // 8 wide: on average a character of the face advances about 8 pixels.
    p.canvas.selectObject(p.drawer.drawingObjects[0]);
    const std::string sample = "Steine Senkrecht Punkte ereichen";
    const double perChar =
        p.canvas.textWidth(sample.data(), static_cast<std::int32_t>(sample.size())) /
        static_cast<double>(sample.size());
    EXPECT_GT(perChar, 5.0);
    EXPECT_LT(perChar, 11.0);
}

// The ink inside a box of the frame's pixels, in image pixels.
Ink inkIn(Picture& p, Box frameBox) {
    const int n = p.canvas.scale();
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

// The ink of one text drawn alone, red on black, top-left aligned at (10, 10).
Ink inkOfText(Picture& p, const std::string& text) {
    CairoCanvas& c = p.canvas;
    c.clear();
    c.selectObject(p.drawer.drawingObjects[0]);
    c.setBkMode(BackgroundMode::Transparent);
    c.setTextColor(red);
    c.setTextAlign(alignLeft | alignTop);
    c.textOut(10, 10, text.data(), static_cast<std::int32_t>(text.size()));
    return inkIn(p, Box{0, 0, c.width() / c.scale(), c.height() / c.scale()});
}

// Like GDI, 11 pixels per em for Comic Neue in the 15-pixel cell (not 11.11), with the cell
// and the baseline kept; across, the requested width 8 is the face's average character width.
// Pinned for the face the game installs, by a known string's advance and ink.
TEST(CairoText, ComicNeueAtAWholeNumberOfPixelsPerEm) {
    Picture p;
    FontMetrics metrics;
    ASSERT_TRUE(p.canvas.fontMetrics(p.drawer.drawingObjects[0], metrics));
    if (metrics.family != "Comic Neue") GTEST_SKIP() << "the status font is " << metrics.family;
    EXPECT_EQ(metrics.em, 11.0);
    EXPECT_EQ(metrics.cellHeight, 15);
    EXPECT_EQ(metrics.baseline, 11);
    const std::string text = "Sie haben zu viele Steine Fallen gelassen!";
    p.canvas.selectObject(p.drawer.drawingObjects[0]);
    EXPECT_EQ(p.canvas.textWidth(text.data(), static_cast<std::int32_t>(text.size())), 289);
    const Ink ink = inkOfText(p, text);
    EXPECT_EQ(ink.minX, 10);
    EXPECT_EQ(ink.maxX, 297);
    EXPECT_EQ(ink.minY, 13);
    EXPECT_EQ(ink.maxY, 23);
    // Four times as large, 44 pixels per em: 44.44 would reach a row higher.
    Picture large(4);
    const Ink inkAtFour = inkOfText(large, "Start mit Leertaste.");
    EXPECT_EQ(inkAtFour.minY, 4 * 10 + 14);
    EXPECT_EQ(inkAtFour.maxY, 4 * 10 + 44);
}

TEST(CairoText, StatusTextsLieInTheirBoxesAndNowhereElseAboveTheConveyor) {
    Picture p;
    Game game = runningGame();
    game.player.score = 1234;
    game.player.dropsLeft = 7;
    game.player.level = 5;
    p.draw(game);
    checkTexts(p,
               {{"Leben: 5", 5, 10, alignLeft},
                {"Level: 5", 5, 30, alignLeft},
                {"Ziel: 01000 x", 85, 10, alignLeft},
                {"Punkte ereichen", 85, 30, alignLeft},
                {"00001234", 390, 10, alignRight},
                {"   " + std::string(7, '\xD8'), 390, 30, alignRight}},
               {0, 0, clientWidth, 48});
}

TEST(CairoText, MessageLinesAreCentredInTheConveyorBand) {
    Picture p;
    Game game = runningGame();
    game.state = GameState::LifeLost;
    p.draw(game);
    checkTexts(p,
               {{"Sie haben zu viele Steine Fallen gelassen!", 200, 80, alignCenter},
                {"Noch einmal Probieren?", 200, 100, alignCenter},
                {"Start mit Leertaste.", 200, 120, alignCenter}},
               {0, 52, clientWidth, 218});
}

// The ink of the drop bar's cell, right of the goal description.
Ink dropBarInk(Picture& p, std::uint8_t dropsLeft) {
    Game game = runningGame();
    game.player.dropsLeft = dropsLeft;
    p.draw(game);
    Ink ink;
    for (int y = 30; y < 45; ++y)
        for (int x = 250; x < clientWidth; ++x)
            if (p.at(x, y) != black) {
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
            }
    return ink;
}

TEST(CairoText, DropBarShortensFromTheLeft) {
    Picture p;
    const Ink full = dropBarInk(p, 10);
    const Ink seven = dropBarInk(p, 7);
    const Ink none = dropBarInk(p, 0);
    ASSERT_TRUE(full.any());
    ASSERT_TRUE(seven.any());
    EXPECT_FALSE(none.any());
    EXPECT_NEAR(full.maxX, seven.maxX, 1);
    const double ratio = (seven.maxX - seven.minX + 1.0) / (full.maxX - full.minX + 1.0);
    EXPECT_NEAR(ratio, 0.7, 0.06) << "image at " << p.keep("drop-bar");
}

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
    const auto pixel = [&](int x, int y) {
        std::uint32_t word = 0;
        std::memcpy(&word, canvas.data() + canvas.stride() * y + 4 * x, 4);
        return word & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(5, 5), 0x0000FFu);
    EXPECT_EQ(pixel(9, 9), 0x0000FFu);
    EXPECT_EQ(pixel(6, 6), 0x00FF00u);
    EXPECT_EQ(pixel(8, 8), 0x00FF00u);
    EXPECT_EQ(pixel(10, 7), 0u);
    EXPECT_EQ(pixel(7, 10), 0u);
    EXPECT_EQ(pixel(4, 7), 0u);
}

TEST(CairoCanvasPixels, ShapesAtTheEdgeAreClipped) {
    CairoCanvas canvas(30, 20);
    canvas.selectObject(canvas.createPen(2, rgb(0, 0, 255)));
    canvas.roundRect(-20, -5, 30, 10, 30, 15);
    canvas.roundRect(10, 15, 60, 30, 30, 15);
    std::uint32_t word = 0;
    std::memcpy(&word, canvas.data() + canvas.stride() * 2 + 4 * 15, 4);
    EXPECT_EQ(word & 0xFFFFFF, 0xFFFFFFu); // GDI's default brush is white
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
    int scale;
    Game (*game)();
};

class ScaledFrame : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaledFrame, IsTheFrameBlownUpOutsideTextsAndRoundedEnds) {
    const int n = GetParam().scale;
    const Game game = GetParam().game();
    Picture small;
    small.draw(game);
    Picture large(n);
    ASSERT_EQ(large.canvas.width(), clientWidth * n);
    ASSERT_EQ(large.canvas.height(), clientHeight * n);
    FineParts fine(large.canvas);
    large.canvas.clear();
    large.drawer.drawFrame(fine, game);

    const std::vector<bool> skipped = fine.mask();
    int compared = 0;
    int wrong = 0;
    for (int y = 0; y < clientHeight * n; ++y)
        for (int x = 0; x < clientWidth * n; ++x) {
            if (skipped[static_cast<std::size_t>(y / n * clientWidth + x / n)]) continue;
            ++compared;
            const Colour expected = small.at(x / n, y / n);
            if (large.at(x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << "," << y << ") at scale " << n << " is "
                              << describe(large.at(x, y)) << ", (" << x / n << "," << y / n
                              << ") at scale 1 " << describe(expected) << "; images at "
                              << small.keep("scale-1") << " and " << large.keep("scaled");
        }
    EXPECT_EQ(wrong, 0);
    // Most of the frame is compared, a full conveyor and bin included.
    EXPECT_GT(compared, clientWidth * clientHeight * n * n * 3 / 5);
}

INSTANTIATE_TEST_SUITE_P(Frames, ScaledFrame,
                         testing::Values(ScaleCase{"RunningAtTwo", 2, runningGame},
                                         ScaleCase{"FullAtTwo", 2, fullGame},
                                         ScaleCase{"FullAtThree", 3, fullGame},
                                         ScaleCase{"LifeLostAtFour", 4, lifeLostGame}),
                         [](const testing::TestParamInfo<ScaleCase>& param) {
                             return std::string(param.param.name);
                         });

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
            std::uint32_t word = 0;
            std::memcpy(&word, c.data() + c.stride() * y + 4 * x, 4);
            return word & 0xFFFFFF;
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
