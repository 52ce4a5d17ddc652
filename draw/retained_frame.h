// Retained frames: a frame's drawing calls kept and compared with the previous frame's, so that
// a canvas draws again only the parts of its image where the two differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "draw/canvas.h"
#include "draw/pixel_rect.h"

namespace plonta {

// One drawing call with everything its pixels depend on, and the image pixels it can change.
struct Op {
    enum class Kind : std::uint8_t { Line, Shape, Text };
    Kind kind = Kind::Shape;
    BackgroundMode mode = BackgroundMode::Transparent;
    // A line's ends or a figure's corners in the frame's pixels; a text's cell in image pixels.
    std::int32_t x0 = 0;
    std::int32_t y0 = 0;
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t ellipseWidth = 0;
    std::int32_t ellipseHeight = 0;
    std::int32_t penWidth = 1;
    Colour pen = 0; // a text's colour
    Colour brush = 0;
    std::size_t font = 0;
    std::size_t text = 0; // where a text's bytes start in its frame's store
    std::size_t length = 0;
    // A text's alignment, where the canvas leaves the layout to someone else (the page).
    std::uint32_t textAlign = 0;
    PixelRect box;
};

// The calls of one retained frame.
struct FrameRecord {
    std::vector<Op> ops;
    std::string texts;

    std::string_view bytes(const Op& op) const {
        return std::string_view(texts).substr(op.text, op.length);
    }
    void clear() {
        ops.clear();
        texts.clear();
    }
};

class RetainedFrame {
  public:
    // From now on the calls are kept for the new frame instead of drawn.
    void begin();
    bool recording() const { return recording_; }
    // Keeps a call of the frame being made, with its text's op.length bytes.
    void record(Op op, const char* text);
    // The image no longer shows what the previous frame drew: the next one changes all of it.
    void forget() { previousShown_ = false; }
    // Ends the frame: the parts of the image where its pixels differ from the previous frame's,
    // disjoint; the whole image for the first frame or after forget, nothing without an image.
    // The caller clears those parts and draws frame()'s calls that reach them, in order.
    const std::vector<PixelRect>& end(const PixelRect& image);
    // The calls of the frame ended last.
    const FrameRecord& frame() const { return previous_; }

  private:
    void findChanges(const PixelRect& image);
    void addChanged(PixelRect part, const PixelRect& image);

    bool recording_ = false;
    // The image shows exactly what the previous frame's calls drew.
    bool previousShown_ = false;
    FrameRecord current_;
    FrameRecord previous_;
    std::vector<bool> matched_;
    std::vector<PixelRect> changed_;
};

} // namespace plonta
