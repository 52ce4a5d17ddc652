// The playfield: drawing objects, conveyor lines, bin walls, tiles and the paddle.
#include "draw/frame.h"

namespace plonta {

namespace {

constexpr std::int32_t penWidth = 2;
constexpr std::int32_t tileWidth = 50;
constexpr std::int32_t tileHeight = 15;
constexpr std::int32_t cornerWidth = 30;
constexpr std::int32_t cornerHeight = 15;
constexpr std::int32_t laneStep = 60;
constexpr std::int32_t cellStep = 15;
constexpr std::int32_t rowStep = 18;
constexpr std::int32_t lowerLineY = 220;

// Positions of the objects inside DrawingObjects.
constexpr std::size_t fontIndex = 0;
constexpr std::size_t firstBrush = 1;
constexpr std::size_t firstPen = 8;
constexpr std::size_t whiteBrush = 1;
constexpr std::size_t redBrush = 2;
constexpr std::size_t greyPen = 8;
constexpr std::size_t darkRedPen = 9;

} // namespace

void FrameDrawer::createDrawingObjects(Canvas& canvas) {
    for (std::size_t k = 0; k < brushColours.size(); ++k) {
        drawingObjects[firstPen + k] = canvas.createPen(penWidth, penColours[k]);
        drawingObjects[firstBrush + k] = canvas.createSolidBrush(brushColours[k]);
    }
    const FontRequest font{15, 8, 0, 0, 400, 0, 0, 0, 1, 2, 1, 0, 0, "Comic Sans MS"};
    drawingObjects[fontIndex] = canvas.createFont(font);
    // Only once marks are wanted: without them the canvas sees what it always saw.
    markObjectsMade_ = false;
    if (marks_) createMarkObjects(canvas);
}

void FrameDrawer::showMarks(bool on, Canvas* canvas) {
    marks_ = on;
    if (marks_ && !markObjectsMade_ && canvas != nullptr) createMarkObjects(*canvas);
}

void FrameDrawer::nextFrame(const Game& game, std::uint32_t frames) {
    if (game.state == GameState::Paused && frames % 2 == 1) pauseBlink_ ^= 1;
}

void FrameDrawer::drawFrame(Canvas& canvas, const Game& game) const {
    if (bestGames_) {
        canvas.selectObject(drawingObjects[darkRedPen]);
        canvas.moveTo(5, 50);
        canvas.lineTo(390, 50);
        drawStatus(canvas, game);
        drawBestGames(canvas);
        return;
    }
    drawBorders(canvas);
    // The Game keeps its tiles outside Running; they are only hidden.
    if (game.state == GameState::Running) {
        drawConveyor(canvas, game);
        drawBin(canvas, game);
    }
    drawPaddle(canvas, game);
    drawStatus(canvas, game);
}

void FrameDrawer::drawBorders(Canvas& canvas) const {
    canvas.selectObject(drawingObjects[darkRedPen]);
    canvas.moveTo(5, 50);
    canvas.lineTo(390, 50);
    canvas.moveTo(5, lowerLineY);
    canvas.lineTo(390, lowerLineY);
    canvas.selectObject(drawingObjects[darkRedPen]);
    canvas.selectObject(drawingObjects[redBrush]);
    canvas.rectangle(30, 340, 40, 455);
    canvas.rectangle(350, 340, 360, 455);
    canvas.rectangle(30, 445, 360, 455);
}

void FrameDrawer::drawConveyor(Canvas& canvas, const Game& game) const {
    for (int lane = 0; lane < laneCount; ++lane) {
        // Cell 11 would start on the lower line: the band shows cells 0 to 10 only.
        for (int cell = 0; 55 + cellStep * cell < lowerLineY; ++cell) {
            const Tile tile = game.conveyor.at(lane, cell);
            if (tile != 0) drawTile(canvas, 55 + laneStep * lane, 55 + cellStep * cell, tile);
        }
    }
}

void FrameDrawer::drawBin(Canvas& canvas, const Game& game) const {
    for (int column = 0; column < binColumns; ++column) {
        for (int row = 0; row < binRows; ++row) {
            const Tile tile = game.bin.at(column, row);
            if (tile != 0) drawTile(canvas, 50 + laneStep * column, 350 + rowStep * row, tile);
        }
    }
}

void FrameDrawer::drawPaddle(Canvas& canvas, const Game& game) const {
    const Player& player = game.player;
    const std::int32_t n = player.carriedCount;
    const std::int32_t lane = player.paddleLane;
    // The newest tile (slot n) sits on top at 260; the oldest lies just above the paddle.
    for (std::int32_t i = 1; i <= n && i <= carriedSlots; ++i) {
        drawTile(canvas, 50 + laneStep * lane, 260 + tileHeight * (n - i),
                 player.carried[static_cast<std::size_t>(i - 1)]);
    }
    canvas.selectObject(drawingObjects[greyPen]);
    canvas.selectObject(drawingObjects[whiteBrush]);
    canvas.roundRect(40 + laneStep * lane, 265 + tileHeight * n, 110 + laneStep * lane,
                     275 + tileHeight * n, cornerWidth, cornerHeight);
}

void FrameDrawer::drawTile(Canvas& canvas, std::int32_t left, std::int32_t top, Tile code) const {
    // Only codes 1 to 7 have a pen and a brush.
    if (code < 1 || code > brushColours.size()) return;
    canvas.selectObject(drawingObjects[firstPen - 1 + code]);
    canvas.selectObject(drawingObjects[code]);
    canvas.roundRect(left, top, left + tileWidth, top + tileHeight, cornerWidth, cornerHeight);
    if (marks_ && markObjectsMade_) drawMark(canvas, left, top, code);
}

double intPower(std::int32_t base, std::int32_t exponent) {
    double result = 1.0;
    for (std::int32_t i = 0; i < exponent; ++i) result *= base;
    return result;
}

} // namespace plonta
