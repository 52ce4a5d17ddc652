// The one drawing interface the frame speaks, in GDI's vocabulary and no wider than it needs.
#pragma once

#include <cstdint>

namespace plonta {

// A colour as GDI's COLORREF lays it out: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 |
           static_cast<Colour>(blue) << 16;
}
constexpr std::uint8_t redOf(Colour c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t greenOf(Colour c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t blueOf(Colour c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

// A pen, brush or font made by a canvas; 0 is no object. Only a canvas knows what it stands for.
using DrawingHandle = std::uint32_t;

// The arguments of GDI's CreateFont, in its order.
struct FontRequest {
    std::int32_t height;
    std::int32_t width;
    std::int32_t escapement;
    std::int32_t orientation;
    std::int32_t weight;
    std::uint8_t italic;
    std::uint8_t underline;
    std::uint8_t strikeOut;
    std::uint8_t charSet;
    std::uint8_t outPrecision;
    std::uint8_t clipPrecision;
    std::uint8_t quality;
    std::uint8_t pitchAndFamily;
    const char* faceName;
};

// Background modes and text alignments with GDI's values.
enum class BackgroundMode : std::uint8_t { Transparent = 1, Opaque = 2 };
inline constexpr std::uint32_t alignLeft = 0;   // TA_LEFT
inline constexpr std::uint32_t alignTop = 0;    // TA_TOP
inline constexpr std::uint32_t alignRight = 2;  // TA_RIGHT
inline constexpr std::uint32_t alignCenter = 6; // TA_CENTER

class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual DrawingHandle createPen(std::int32_t width, Colour colour) = 0;
    virtual DrawingHandle createSolidBrush(Colour colour) = 0;
    virtual DrawingHandle createFont(const FontRequest& request) = 0;
    // Makes the object the current pen, brush or font, by its kind.
    virtual void selectObject(DrawingHandle object) = 0;

    virtual void moveTo(std::int32_t x, std::int32_t y) = 0;
    // A line with the current pen from the current position; the end point is not drawn.
    virtual void lineTo(std::int32_t x, std::int32_t y) = 0;
    // Outlined with the current pen, filled with the current brush; right and bottom excluded.
    virtual void rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) = 0;
    virtual void roundRect(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom, std::int32_t ellipseWidth,
                           std::int32_t ellipseHeight) = 0;

    virtual void setBkMode(BackgroundMode mode) = 0;
    virtual void setTextColor(Colour colour) = 0;
    // alignLeft, alignRight or alignCenter, each with alignTop.
    virtual void setTextAlign(std::uint32_t align) = 0;
    // Windows-1252 bytes, as many as length says.
    virtual void textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) = 0;
};

} // namespace plonta
