// The tile marks: a shape per colour in the middle of a tile, black, white on the dark blue.
// Only straight edges and ellipses, which every canvas rasterises alike.
#include "draw/frame.h"

namespace plonta {

namespace {

constexpr std::size_t blackPen = 0;
constexpr std::size_t widePen = 1;
constexpr std::size_t blackBrush = 2;
constexpr std::size_t whitePen = 3;
constexpr std::size_t whiteBrush = 1; // among the drawing objects
constexpr Colour black = rgb(0, 0, 0);

} // namespace

void FrameDrawer::createMarkObjects(Canvas& canvas) {
    markObjects_[blackPen] = canvas.createPen(1, black);
    markObjects_[widePen] = canvas.createPen(2, black);
    markObjects_[blackBrush] = canvas.createSolidBrush(black);
    markObjects_[whitePen] = canvas.createPen(1, brushColours[0]);
    markObjectsMade_ = true;
}

void FrameDrawer::drawMark(Canvas& canvas, std::int32_t left, std::int32_t top, Tile code) const {
    // A 9 by 9 box in the middle of the 50 by 15 tile, clear of its outline.
    const std::int32_t x0 = left + 21;
    const std::int32_t y0 = top + 3;
    const std::int32_t x1 = x0 + 9;
    const std::int32_t y1 = y0 + 9;
    const std::int32_t cx = x0 + 4;
    const std::int32_t cy = y0 + 4;
    canvas.selectObject(markObjects_[blackPen]);
    canvas.selectObject(markObjects_[blackBrush]);
    switch (code) {
    case 1: // white: a disc
        canvas.roundRect(x0, y0, x1, y1, 9, 9);
        break;
    case 2: // red: a cross of two bars
        canvas.rectangle(x0 - 1, cy - 1, x1 + 1, cy + 2);
        canvas.rectangle(cx - 1, y0, cx + 2, y1);
        break;
    case 3: // green: a ring around the tile's own colour
        canvas.selectObject(markObjects_[widePen]);
        canvas.selectObject(drawingObjects[code]);
        canvas.roundRect(x0, y0, x1 + 1, y1 + 1, 10, 10);
        break;
    case 4: // blue: a white square
        canvas.selectObject(markObjects_[whitePen]);
        canvas.selectObject(drawingObjects[whiteBrush]);
        canvas.rectangle(x0 + 1, y0 + 1, x1 - 1, y1 - 1);
        break;
    case 5: // yellow: two upright bars
        canvas.rectangle(x0, y0, x0 + 3, y1);
        canvas.rectangle(x1 - 3, y0, x1, y1);
        break;
    case 6: // magenta: an empty square
        canvas.selectObject(markObjects_[widePen]);
        canvas.selectObject(drawingObjects[code]);
        canvas.rectangle(x0, y0, x1 + 1, y1 + 1);
        break;
    default: // cyan: a long bar
        canvas.rectangle(x0 - 4, cy - 1, x1 + 4, cy + 2);
        break;
    }
}

} // namespace plonta
