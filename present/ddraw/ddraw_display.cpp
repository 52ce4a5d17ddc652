// Set-up, paint cycle and release of the DirectDraw objects.
#include "present/ddraw/ddraw_display.h"

#include <algorithm>
#include <cstdio>

#include "draw/frame.h"
#include "draw/frame_fit.h"

namespace plonta {

DDrawDisplay::DDrawDisplay(DirectDrawCreateExFunction directDrawCreateEx)
    : directDrawCreateEx_(directDrawCreateEx) {
    // The colour fill reads only these two members: black.
    fillEffects.dwSize = sizeof(fillEffects);
    fillEffects.dwFillColor = 0;
}

DDrawDisplay::~DDrawDisplay() {
    release();
}

std::string DDrawDisplay::failure() const {
    if (failedCall == nullptr) return {};
    char text[160];
    std::snprintf(text, sizeof text, "%s failed with error 0x%08lX", failedCall,
                  static_cast<unsigned long>(lastResult));
    return text;
}

bool DDrawDisplay::succeeded(HRESULT result, const char* call) {
    lastResult = result;
    if (result == DD_OK) return true;
    failedCall = call;
    release();
    return false;
}

bool DDrawDisplay::create() {
    HWND window = window_;
    failedCall = nullptr;
    RECT client{};
    GetClientRect(window, &client);
    if (client.right <= client.left || client.bottom <= client.top) return false;
    void* made = nullptr;
    if (!succeeded(directDrawCreateEx_(nullptr, &made, IID_IDirectDraw7, nullptr),
                   "DirectDrawCreateEx"))
        return false;
    *directDraw.put() = static_cast<IDirectDraw7*>(made);

    // Windowed: the display mode stays as the user has it.
    if (!succeeded(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), "SetCooperativeLevel"))
        return false;

    primaryDesc = DDSURFACEDESC2{};
    // The structure's own size: it holds pointers, so it is larger in a 64-bit program.
    primaryDesc.dwSize = sizeof(primaryDesc);
    primaryDesc.dwFlags = DDSD_CAPS;
    primaryDesc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (!succeeded(directDraw->CreateSurface(&primaryDesc, primarySurface.put(), nullptr),
                   "CreateSurface (primary)"))
        return false;

    if (!succeeded(directDraw->CreateClipper(0, clipper.put(), nullptr), "CreateClipper"))
        return false;
    // Blits to the screen then reach only the visible part of the window.
    if (!succeeded(clipper->SetHWnd(0, window), "SetHWnd")) return false;
    if (!succeeded(primarySurface->SetClipper(clipper.get()), "SetClipper")) return false;

    GetClientRect(window, &clientRect);
    placeFrame();
    if (!createBackSurface(clientRect.right - clientRect.left,
                           clientRect.bottom - clientRect.top)) {
        failedCall = "CreateSurface (back)";
        release();
        return false;
    }
    return true;
}

bool DDrawDisplay::createBackSurface(std::int32_t width, std::int32_t height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwHeight = static_cast<DWORD>(height);
    desc.dwWidth = static_cast<DWORD>(width);
    // The display's pixel format and DirectDraw's choice of memory.
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    lastResult = directDraw->CreateSurface(&desc, backSurface.put(), nullptr);
    return lastResult == DD_OK;
}

void DDrawDisplay::placeFrame() {
    const LONG width = clientRect.right - clientRect.left;
    const LONG height = clientRect.bottom - clientRect.top;
    const FitSize area{static_cast<int>(width), static_cast<int>(height)};
    scale = filling ? largestScaleThatFits(frameSize, area) : windowScale;
    const FitPoint at = centred(area, scaledSize(frameSize, scale));
    frameOrigin = filling ? POINT{at.x, at.y} : POINT{0, 0};
}

bool DDrawDisplay::resize() {
    if (!directDraw) return false;
    failedCall = nullptr;
    backSurface.reset();
    GetClientRect(window_, &clientRect);
    placeFrame();
    if (createBackSurface(clientRect.right - clientRect.left, clientRect.bottom - clientRect.top))
        return true;
    failedCall = "CreateSurface (back)";
    release();
    return false;
}

void DDrawDisplay::release() {
    backSurface.reset();
    clipper.reset();
    primarySurface.reset();
    directDraw.reset();
}

bool DDrawDisplay::paintOnce(const FrameDrawer& drawer, const Game& game) {
    const auto started = std::chrono::steady_clock::now();
    RECT area{};
    GetClientRect(window_, &area);
    const HRESULT cleared =
        backSurface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fillEffects);

    HDC dc = nullptr;
    const HRESULT gotDc = backSurface->GetDC(&dc);
    if (gotDc == DD_OK) {
        // Black stays round a frame placed in the middle: the whole area was cleared.
        if (frameOrigin.x != 0 || frameOrigin.y != 0)
            SetViewportOrgEx(dc, frameOrigin.x, frameOrigin.y, nullptr);
        canvas_.setScale(scale);
        canvas_.bind(dc);
        drawer.drawFrame(canvas_, game);
        canvas_.bind(nullptr);
        backSurface->ReleaseDC(dc);
    }
    const auto composed = std::chrono::steady_clock::now();

    // The screen position is found afresh each time, so a moved window is followed.
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    OffsetRect(&area, origin.x, origin.y);
    const HRESULT shown =
        primarySurface->Blt(&area, backSurface.get(), nullptr, DDBLT_WAIT, nullptr);
    lastCompose = composed - started;
    lastPresent = std::chrono::steady_clock::now() - composed;

    return cleared == DDERR_SURFACELOST || gotDc == DDERR_SURFACELOST || shown == DDERR_SURFACELOST;
}

void DDrawDisplay::paintFrame(const FrameDrawer& drawer, const Game& game) {
    if (!paintOnce(drawer, game)) return;
    // A mode change or a locked desktop took the surfaces' memory. One more try after restoring;
    // if that cannot be done yet, the next paint tries again.
    if (directDraw->RestoreAllSurfaces() != DD_OK) return;
    paintOnce(drawer, game);
}

} // namespace plonta
