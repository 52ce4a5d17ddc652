// The DirectDraw 7 Display: an offscreen surface drawn through GDI, copied whole to the window.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <ddraw.h>

#include <cstdint>

#include "draw/frame.h"
#include "draw/gdi_canvas.h"
#include "game/game.h"

namespace plonta {

// DirectDrawCreateEx's shape, so that a test can hand out stand-in interfaces.
using DirectDrawCreateExFunction = HRESULT(WINAPI*)(GUID* driver, void** made, REFIID interfaceId,
                                                    IUnknown* outer);

class Display {
  public:
    explicit Display(DirectDrawCreateExFunction directDrawCreateEx = DirectDrawCreateEx);
    // Does no work: only releaseSurfaces gives the DirectDraw objects back.
    virtual ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    DDBLTFX fillEffects{};
    IDirectDrawSurface7* backSurface = nullptr;
    IDirectDrawSurface7* primarySurface = nullptr;
    RECT clientRect{};
    DDSURFACEDESC2 primaryDesc{};
    IDirectDrawClipper* clipper = nullptr;
    IDirectDraw7* directDraw = nullptr;
    // DD_OK after a whole set-up, else the code of the step that failed.
    HRESULT lastResult = DD_OK;

    // Once, on the shown window. All or nothing: the first failing step releases what was made.
    bool createSurfaces(HWND window);
    // The client-sized offscreen surface every frame is drawn into.
    bool createBackSurface(std::int32_t width, std::int32_t height);
    // The black colour fill; once, whatever createSurfaces returned.
    void prepareFill();
    // Clears, draws the whole frame through the canvas and copies it to the window in one blit.
    // Surfaces lost to a mode change are restored and the frame painted again.
    void paintFrame(HWND window, GdiCanvas& canvas, FrameDrawer& drawer, const Game& game);
    // Newest first; safe after a partial set-up and a second time.
    void releaseSurfaces();

  private:
    // One clear, draw and copy; true when a surface turned out to be lost.
    bool paintOnce(HWND window, GdiCanvas& canvas, FrameDrawer& drawer, const Game& game);
    // The set-up's record of a call: true while every step so far succeeded.
    bool succeeded(HRESULT result);

    DirectDrawCreateExFunction directDrawCreateEx_;
};

} // namespace plonta
