// The window's scale from its monitor's DPI, and the sizes and places that go with it.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "draw/frame_fit.h"

namespace plonta {

// The monitor's own scale, dpi / 96 (1 to maxScale), lowered to the largest at which the client
// area at 96 DPI, client1, so scaled, with its frame extra around it, fits the work area.
FrameScale windowScaleFor(UINT dpi, SIZE client1, SIZE extra, SIZE workArea);
// At the usual place when the work area has room for the window there, else in its middle.
POINT windowPlaceIn(const RECT& workArea, SIZE outer);

// The window's DPI: its monitor's on a Windows that tells it per window, else the system's.
UINT dpiOf(HWND window);
// What the frame and caption of a window of this style add to its client area at a DPI.
SIZE frameExtra(DWORD style, UINT dpi);
// The work area of the monitor nearest a point.
RECT workAreaAt(POINT point);

} // namespace plonta
