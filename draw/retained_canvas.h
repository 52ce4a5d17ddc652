// The part of a canvas that fills its own pixels which is the same everywhere: GDI's objects
// and drawing state, the calls as ops with the pixels they can change, shapes rasterised
// once, and retained frames drawn again only where they changed. A realisation finds a
// font's metrics, sets the pixels, and draws texts and slanted lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "draw/canvas.h"
#include "draw/pixel_rect.h"
#include "draw/retained_frame.h"
#include "draw/shape_raster.h"

namespace plonta {

class RetainedCanvas : public Canvas {
  public:
    RetainedCanvas(const RetainedCanvas&) = delete;
    RetainedCanvas& operator=(const RetainedCanvas&) = delete;

    FrameScale scale() const { return scale_; }
    // The image's size in pixels: the frame's times the scale; 0 without an image.
    int width() const { return image_.right; }
    int height() const { return image_.bottom; }

    // Retained frames: the calls between beginFrame and endFrame are kept and compared with
    // the previous frame's, and only where the two differ is the image cleared and drawn
    // again; the pixels come out as if the whole frame had been drawn on a cleared image.
    void beginFrame() { frames_.begin(); }
    // The parts of the image that changed, disjoint; the whole image for the first frame, after
    // a new image, or after drawing outside a frame.
    const std::vector<PixelRect>& endFrame();

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

  protected:
    // A frame of width by height pixels; coordinates stay those of scale 1 at every scale.
    RetainedCanvas(std::int32_t frameWidth, std::int32_t frameHeight)
        : frameWidth_(frameWidth), frameHeight_(frameHeight) {}
    ~RetainedCanvas() override = default;

    // Keeps a font request; ops name the font by the index returned.
    virtual std::size_t addFont(const FontRequest& request) = 0;
    // Completes a text op anchored at x0, y0 in image pixels with what else its pixels depend
    // on and its box; false, drawing nothing, when its font cannot be had.
    virtual bool placeText(Op& op, std::string_view text) = 0;
    // Image pixels x0 to x1 of row y, already inside the clip, become a pixelOf value.
    virtual void fillRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t pixel) = 0;
    // Draw inside the clip what the shape rasteriser does not: a slanted line, a text.
    virtual void renderSlantedLine(const Op& op) = 0;
    virtual void renderText(const Op& op, std::string_view text) = 0;
    // The frame ended last has been drawn again where it changed.
    virtual void frameDrawn(const FrameRecord&) {}

    std::int32_t frameWidth() const { return frameWidth_; }
    std::int32_t frameHeight() const { return frameHeight_; }
    // From now on draws at scale; shapes rasterised at another are dropped.
    void setDrawingScale(FrameScale scale);
    // From now on draws into an image this large, or into none when it is empty; it shows
    // nothing of the previous frame.
    void setImageSize(std::int32_t width, std::int32_t height);
    // The image shows something else than the previous frame: the next is drawn whole.
    void forgetFrame() { frames_.forget(); }

    const PixelRect& image() const { return image_; }
    // What drawing may change now: the whole image, or the part of a retained frame redrawn.
    const PixelRect& clip() const { return clip_; }
    // While endFrame draws the changed parts again.
    bool redrawing() const { return redrawing_; }
    // In image pixels, cut to the clip.
    void fill(std::int32_t x0, std::int32_t x1, std::int32_t y, std::uint32_t pixel);
    PixelRect scaled(const PixelRect& r) const { return scale_.of(r); }
    std::uint32_t textAlign() const { return textAlign_; }
    // Where a text advance pixels wide starts when the alignment puts it at x.
    std::int32_t alignedLeft(std::int32_t x, std::int32_t advance) const;

  private:
    enum class ObjectKind : std::uint8_t { Pen, Brush, Font };
    struct DrawingObject {
        ObjectKind kind;
        std::int32_t width = 1;
        Colour colour = 0;
        std::size_t font = 0; // as addFont numbered it
    };

    DrawingHandle add(const DrawingObject& object);
    // The shape at frame x, y: its look and where the image's grid falls on it.
    const Shape& shape(const ShapeKey& key, std::int32_t x, std::int32_t y);
    // Draws a call now, or keeps it for the retained frame being made.
    void draw(Op& op, const char* text);
    void render(const Op& op, std::string_view text);

    std::int32_t frameWidth_;
    std::int32_t frameHeight_;
    FrameScale scale_;
    PixelRect image_;
    PixelRect clip_;
    bool redrawing_ = false;

    std::vector<DrawingObject> objects_;
    std::vector<Shape> shapes_;
    RetainedFrame frames_;

    // GDI's defaults in a fresh device context: black pen, white brush, no font yet.
    std::int32_t penWidth_ = 1;
    Colour pen_ = 0;
    Colour brush_ = rgb(255, 255, 255);
    std::size_t font_ = SIZE_MAX;
    std::int32_t currentX_ = 0;
    std::int32_t currentY_ = 0;
    BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
    Colour textColour_ = 0;
    std::uint32_t textAlign_ = alignLeft | alignTop;
};

} // namespace plonta
