// Set-up, paint cycle and release of the DirectDraw objects.
#include "present/ddraw_display.h"

namespace plonta {

namespace {

template <typename Interface> void releaseOne(Interface*& object) {
    if (object == nullptr) return;
    object->Release();
    object = nullptr;
}

} // namespace

Display::Display(DirectDrawCreateExFunction directDrawCreateEx)
    : directDrawCreateEx_(directDrawCreateEx) {}

Display::~Display() = default;

bool Display::succeeded(HRESULT result) {
    lastResult = result;
    if (result == DD_OK) return true;
    releaseSurfaces();
    return false;
}

bool Display::createSurfaces(HWND window) {
    void* made = nullptr;
    if (!succeeded(directDrawCreateEx_(nullptr, &made, IID_IDirectDraw7, nullptr))) return false;
    directDraw = static_cast<IDirectDraw7*>(made);

    // Windowed: the display mode stays as the user has it.
    if (!succeeded(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL))) return false;

    primaryDesc = DDSURFACEDESC2{};
    // The structure's own size: it holds pointers, so it is larger in a 64-bit program.
    primaryDesc.dwSize = sizeof(primaryDesc);
    primaryDesc.dwFlags = DDSD_CAPS;
    primaryDesc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (!succeeded(directDraw->CreateSurface(&primaryDesc, &primarySurface, nullptr))) return false;

    if (!succeeded(directDraw->CreateClipper(0, &clipper, nullptr))) return false;
    // Blits to the screen then reach only the visible part of the window.
    if (!succeeded(clipper->SetHWnd(0, window))) return false;
    if (!succeeded(primarySurface->SetClipper(clipper))) return false;

    GetClientRect(window, &clientRect);
    if (!createBackSurface(clientRect.right - clientRect.left,
                           clientRect.bottom - clientRect.top)) {
        releaseSurfaces();
        return false;
    }
    return true;
}

bool Display::createBackSurface(std::int32_t width, std::int32_t height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwHeight = static_cast<DWORD>(height);
    desc.dwWidth = static_cast<DWORD>(width);
    // The display's pixel format and DirectDraw's choice of memory.
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    lastResult = directDraw->CreateSurface(&desc, &backSurface, nullptr);
    return lastResult == DD_OK;
}

void Display::prepareFill() {
    // The colour fill reads only these two members.
    fillEffects.dwSize = sizeof(fillEffects);
    fillEffects.dwFillColor = 0;
}

void Display::releaseSurfaces() {
    releaseOne(backSurface);
    releaseOne(clipper);
    releaseOne(primarySurface);
    releaseOne(directDraw);
}

bool Display::paintOnce(HWND window, GdiCanvas& canvas, FrameDrawer& drawer, const Game& game) {
    RECT area{};
    GetClientRect(window, &area);
    const HRESULT cleared =
        backSurface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fillEffects);

    HDC dc = nullptr;
    const HRESULT gotDc = backSurface->GetDC(&dc);
    if (gotDc == DD_OK) {
        canvas.bind(dc);
        drawer.drawFrame(canvas, game);
        canvas.bind(nullptr);
        backSurface->ReleaseDC(dc);
    }

    // The screen position is found afresh each time, so a moved window is followed.
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&area, origin.x, origin.y);
    const HRESULT shown = primarySurface->Blt(&area, backSurface, nullptr, DDBLT_WAIT, nullptr);

    return cleared == DDERR_SURFACELOST || gotDc == DDERR_SURFACELOST || shown == DDERR_SURFACELOST;
}

void Display::paintFrame(HWND window, GdiCanvas& canvas, FrameDrawer& drawer, const Game& game) {
    // The repaint must show the same frame, pause blink included.
    const std::uint8_t blinkBefore = drawer.pauseBlink;
    if (!paintOnce(window, canvas, drawer, game)) return;
    // A mode change or a locked desktop took the surfaces' memory. One more try after restoring;
    // if that cannot be done yet, the next paint tries again.
    if (directDraw->RestoreAllSurfaces() != DD_OK) return;
    drawer.pauseBlink = blinkBefore;
    paintOnce(window, canvas, drawer, game);
}

} // namespace plonta
