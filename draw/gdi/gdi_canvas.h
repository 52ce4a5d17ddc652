// The Canvas on a real GDI device context: at scale 1 the frame's calls go to GDI one for one;
// at any other scale shapes are filled as blocks of whole pixels and texts drawn in scaled fonts.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

#include "draw/canvas.h"
#include "draw/shape_raster.h"

namespace plonta {

class GdiCanvas final : public Canvas {
  public:
    GdiCanvas() = default;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;
    // The objects are never deleted: like the game's own, they last until the process ends.
    ~GdiCanvas() override = default;

    // The device context of the frame being drawn; a DirectDraw surface hands out a new one per
    // frame. Objects can be made with no context bound.
    void bind(HDC dc) { dc_ = dc; }
    HDC boundContext() const { return dc_; }
    // From now on coordinates are multiplied by scale; the objects stay as made.
    void setScale(FrameScale scale);
    FrameScale scale() const { return scale_; }

    // The GDI object behind a handle, or null for 0 and unknown handles.
    HGDIOBJ object(DrawingHandle handle) const;

    DrawingHandle createPen(std::int32_t width, Colour colour) override;
    DrawingHandle createSolidBrush(Colour colour) override;
    DrawingHandle createFont(const FontRequest& request) override;
    void selectObject(DrawingHandle object) override;

    void moveTo(std::int32_t x, std::int32_t y) override;
    void lineTo(std::int32_t x, std::int32_t y) override;
    void rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom) override;
    void roundRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t ellipseWidth, std::int32_t ellipseHeight) override;

    void setBkMode(BackgroundMode mode) override;
    void setTextColor(Colour colour) override;
    void setTextAlign(std::uint32_t align) override;
    void textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) override;

  private:
    // What an object was made from, for drawing it at a larger scale.
    struct Made {
        enum class Kind : std::uint8_t { Pen, Brush, Font } kind;
        std::int32_t width = 0;
        Colour colour = 0;
        FontRequest font{};
        std::string faceName;
        // Its twin at scaledAt times, made on first use; null before.
        HGDIOBJ scaled = nullptr;
        std::int32_t scaledAt = 0; // in thousandths
    };
    // A shape at the current scale as rectangles of one colour each.
    struct Blocks {
        ShapeKey key;
        std::int32_t leadX;
        std::int32_t leadY;
        std::vector<RECT> rects;
        std::vector<Colour> colours;
    };

    DrawingHandle remember(HGDIOBJ object, Made made);
    HGDIOBJ scaledObject(Made& made);
    const Blocks& blocks(const ShapeKey& key, std::int32_t leadX, std::int32_t leadY);
    // At scale 1 GDI draws every call itself.
    bool direct() const { return scale_ == FrameScale(1); }
    void fillBlock(const RECT& rect, Colour colour);

    HDC dc_ = nullptr;
    FrameScale scale_;
    // The text being drawn, as UTF-16; kept so that a frame allocates nothing.
    std::wstring wide_;
    // Handle h stands for objects_[h - 1], made from made_[h - 1].
    std::vector<HGDIOBJ> objects_;
    std::vector<Made> made_;
    std::vector<Blocks> shapes_;
    // The state GDI keeps in the context at scale 1, kept here for the larger scales.
    std::size_t pen_ = SIZE_MAX;
    std::size_t font_ = SIZE_MAX;
    Colour brush_ = rgb(255, 255, 255);
    std::int32_t penWidth_ = 1;
    Colour penColour_ = 0;
    std::int32_t currentX_ = 0;
    std::int32_t currentY_ = 0;
};

} // namespace plonta
