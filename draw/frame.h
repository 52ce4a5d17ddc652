// One frame from the Game's fields: the playfield, then the status texts on top.
#pragma once

#include <array>
#include <cstdint>

#include "draw/canvas.h"
#include "game/game.h"

namespace plonta {

// Index 0 the status font, 1 to 7 the solid brushes, 8 to 14 the width-2 pens.
using DrawingObjects = std::array<DrawingHandle, 15>;

// Brush k + 1 and pen k + 8 take entry k; a pen is its brush with 255 lowered to 180.
inline constexpr std::array<Colour, 7> brushColours{
    rgb(255, 255, 255), rgb(255, 0, 0),   rgb(0, 255, 0),  rgb(0, 0, 255),
    rgb(255, 255, 0),   rgb(255, 0, 255), rgb(0, 255, 255)};
inline constexpr std::array<Colour, 7> penColours{
    rgb(180, 180, 180), rgb(180, 0, 0),   rgb(0, 180, 0),  rgb(0, 0, 180),
    rgb(180, 180, 0),   rgb(180, 0, 180), rgb(0, 180, 180)};

// The drawing layer's lasting state: the objects made once at start-up and the pause blink.
class FrameDrawer {
  public:
    DrawingObjects drawingObjects{};
    // Flips on every frame drawn while Paused; never reset.
    std::uint8_t pauseBlink = 0;

    // Once, right after the Game's set-up: pen, brush, pen, brush ... then the font.
    void createDrawingObjects(Canvas& canvas);
    // The whole frame onto a canvas already cleared to black.
    void drawFrame(Canvas& canvas, const Game& game);

    void drawBorders(Canvas& canvas) const;
    void drawConveyor(Canvas& canvas, const Game& game) const;
    void drawBin(Canvas& canvas, const Game& game) const;
    void drawPaddle(Canvas& canvas, const Game& game) const;
    void drawTile(Canvas& canvas, std::int32_t left, std::int32_t top, Tile code) const;
    void drawStatus(Canvas& canvas, const Game& game);
};

// 1.0 times base, exponent times; 1.0 for an exponent of 0 or below.
double intPower(std::int32_t base, std::int32_t exponent);

} // namespace plonta
