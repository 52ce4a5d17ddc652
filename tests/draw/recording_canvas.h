// A canvas that draws nothing and writes down every call, so whole frames compare as text.
#pragma once

#include <string>
#include <vector>

#include "draw/canvas.h"

namespace plonta::test {

class RecordingCanvas final : public Canvas {
  public:
    // One line per call, in call order.
    std::vector<std::string> calls;
    // The fonts asked for, in order; their face names are the caller's.
    std::vector<FontRequest> fontRequests;
    // Each text's bytes, in call order, beside its call.
    std::vector<std::string> texts;

    std::string log() const;
    bool contains(const std::string& call) const;

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
    DrawingHandle remember(std::string description);
    // What each handle was made as, by handle - 1.
    std::vector<std::string> objects_;
};

// A colour as "rgb(r,g,b)".
std::string colourText(Colour colour);
// Bytes as a quoted string; bytes outside printable ASCII as \xNN.
std::string quotedBytes(const char* text, std::size_t length);

} // namespace plonta::test
