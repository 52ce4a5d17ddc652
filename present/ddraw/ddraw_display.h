// The DirectDraw 7 Display: an offscreen surface drawn through GDI at the window's scale, then
// one blit to the window.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <ddraw.h>

#include <cstdint>
#include <string>

#include "draw/gdi/gdi_canvas.h"
#include "present/ddraw/com_ptr.h"
#include "present/display.h"

namespace plonta {

// DirectDrawCreateEx's shape, so that a test can hand out stand-in interfaces.
using DirectDrawCreateExFunction = HRESULT(WINAPI*)(GUID* driver, void** made, REFIID interfaceId,
                                                    IUnknown* outer);

class DDrawDisplay final : public Display {
  public:
    explicit DDrawDisplay(DirectDrawCreateExFunction directDrawCreateEx = DirectDrawCreateEx);
    // Gives back whatever is still held, in release's order.
    ~DDrawDisplay() override;
    DDrawDisplay(const DDrawDisplay&) = delete;
    DDrawDisplay& operator=(const DDrawDisplay&) = delete;

    DDBLTFX fillEffects{};
    ComPtr<IDirectDrawSurface7> backSurface;
    ComPtr<IDirectDrawSurface7> primarySurface;
    RECT clientRect{};
    DDSURFACEDESC2 primaryDesc{};
    ComPtr<IDirectDrawClipper> clipper;
    ComPtr<IDirectDraw7> directDraw;
    // The scale the window was sized for; the frame lies at its top left, cut by the client
    // area. Filling (fullscreen), the frame takes the largest scale the area has room for,
    // fractions included, in its middle, black around it.
    FrameScale windowScale;
    bool filling = false;
    // Where the frame is drawn, at which scale: found at each set-up and resize.
    FrameScale scale;
    POINT frameOrigin{0, 0};
    // DD_OK after a whole set-up, else the code of the step that failed.
    HRESULT lastResult = DD_OK;
    // The DirectDraw call that failed, for telling the player; null after a whole set-up.
    const char* failedCall = nullptr;

    // The window the display shows its frames in; before create.
    void attach(HWND window) { window_ = window; }
    // On the shown window. A window started minimised has an empty client area, on which no
    // surface can be made: nothing is made then, and the set-up waits for an area.
    bool create() override;
    // The client-sized offscreen surface every frame is drawn into.
    bool createBackSurface(std::int32_t width, std::int32_t height);
    // A back surface as large as the new client area, the frame placed in it again.
    bool resize() override;
    // Newest first.
    void release() override;
    // "<call> failed with error 0x...".
    std::string failure() const override;

    // The GDI objects need no device context to be made: the canvas is there from the start.
    Canvas* canvas() override { return &canvas_; }
    // Clears, draws the whole frame through GDI and copies it to the window in one blit.
    // Surfaces lost to a mode change are restored and the frame painted again.
    void paintFrame(const FrameDrawer& drawer, const Game& game) override;

  private:
    // One clear, draw and copy; true when a surface turned out to be lost.
    bool paintOnce(const FrameDrawer& drawer, const Game& game);
    void placeFrame();
    // The set-up's record of a call: true while every step so far succeeded.
    bool succeeded(HRESULT result, const char* call);

    DirectDrawCreateExFunction directDrawCreateEx_;
    HWND window_ = nullptr;
    GdiCanvas canvas_;
};

} // namespace plonta
