// One frame from the Game's fields: the playfield, then the status texts on top.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "draw/canvas.h"
#include "draw/frame_texts.h"
#include "game/game.h"

namespace plonta {

// The frame's size in pixels at scale 1: the window's client area.
inline constexpr int frameWidth = 400;
inline constexpr int frameHeight = 500;

// Index 0 the status font, 1 to 7 the solid brushes, 8 to 14 the width-2 pens.
using DrawingObjects = std::array<DrawingHandle, 15>;

// Brush k + 1 and pen k + 8 take entry k; a pen is its brush with 255 lowered to 180.
inline constexpr std::array<Colour, 7> brushColours{
    rgb(255, 255, 255), rgb(255, 0, 0),   rgb(0, 255, 0),  rgb(0, 0, 255),
    rgb(255, 255, 0),   rgb(255, 0, 255), rgb(0, 255, 255)};
inline constexpr std::array<Colour, 7> penColours{
    rgb(180, 180, 180), rgb(180, 0, 0),   rgb(0, 180, 0),  rgb(0, 0, 180),
    rgb(180, 180, 0),   rgb(180, 0, 180), rgb(0, 180, 180)};

// The best games as the frame lists them, best first, one row chosen.
struct BestGamesPage {
    struct Row {
        std::int32_t score = 0;
        std::uint8_t level = 0;
        std::string date; // Windows-1252, as the frame shows it
    };
    // A game sent to a score server, and what came of it.
    struct Sent {
        enum class Kind : std::uint8_t { None, Sending, Sent, Refused, NoAnswer };
        Kind kind = Kind::None;
        int rank = 0;
        std::string reason; // Refused: why, Windows-1252 as shown

        bool operator==(const Sent&) const = default;
    };
    // The characters of a reason the frame has room for.
    static constexpr std::size_t maxReason = 27;
    std::vector<Row> rows;
    std::size_t chosen = 0;
    // A key sends the chosen game: the hint names it.
    bool sendable = false;
    Sent sent;
};

// The drawing layer's lasting state: the objects made once at start-up and the pause blink.
class FrameDrawer {
  public:
    DrawingObjects drawingObjects{};

    // Once, right after the Game's set-up: pen, brush, pen, brush ... then the font.
    void createDrawingObjects(Canvas& canvas);
    // Before each frame drawn, frames at a time for a run of them: every frame drawn while
    // Paused flips the blink, so "P A U S E" shows on every other one. Pausing does not reset
    // it; its phase carries over from one pause to the next.
    void nextFrame(const Game& game, std::uint32_t frames = 1);
    // A fresh game, a fresh blink.
    void restartBlink() { pauseBlink_ = 0; }
    // The game over frame names the place the game took among the best games; 0 for none.
    void showPlace(int place) { place_ = place; }
    // The best games instead of the playfield, under the status lines; none: the game again.
    void showBestGames(std::optional<BestGamesPage> page) { bestGames_ = std::move(page); }
    // The frame's texts from now on.
    void useLanguage(Language language) { language_ = language; }
    Language language() const { return language_; }
    // A shape inside every tile that tells its colour without the colour, on or off. Its pens
    // and brushes are made on canvas when it has none yet there, or with the drawing objects.
    void showMarks(bool on, Canvas* canvas);
    bool marks() const { return marks_; }
    // 1 when the pause text shows in the frame being drawn.
    std::uint8_t pauseBlink() const { return pauseBlink_; }

    // The whole frame onto a canvas already cleared to black. Drawing it again draws the same.
    void drawFrame(Canvas& canvas, const Game& game) const;

    void drawBorders(Canvas& canvas) const;
    void drawConveyor(Canvas& canvas, const Game& game) const;
    void drawBin(Canvas& canvas, const Game& game) const;
    void drawPaddle(Canvas& canvas, const Game& game) const;
    void drawTile(Canvas& canvas, std::int32_t left, std::int32_t top, Tile code) const;
    void drawStatus(Canvas& canvas, const Game& game) const;
    void drawBestGames(Canvas& canvas) const;

  private:
    void createMarkObjects(Canvas& canvas);
    void drawMark(Canvas& canvas, std::int32_t left, std::int32_t top, Tile code) const;

    std::uint8_t pauseBlink_ = 0;
    Language language_ = Language::German;
    bool marks_ = false;
    // Made on the canvas the drawing objects were last made on.
    bool markObjectsMade_ = false;
    std::array<DrawingHandle, 4> markObjects_{};
    int place_ = 0;
    std::optional<BestGamesPage> bestGames_;
};

// 1.0 times base, exponent times; 1.0 for an exponent of 0 or below.
double intPower(std::int32_t base, std::int32_t exponent);

} // namespace plonta
