// The Canvas on a real GDI device context: the frame's calls go to GDI one for one.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

#include "draw/canvas.h"

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
    DrawingHandle remember(HGDIOBJ object);

    HDC dc_ = nullptr;
    // The text being drawn, as UTF-16; kept so that a frame allocates nothing.
    std::wstring wide_;
    // Handle h stands for objects_[h - 1].
    std::vector<HGDIOBJ> objects_;
};

} // namespace plonta
