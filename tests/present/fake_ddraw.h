// Stand-ins for IDirectDraw7, IDirectDrawSurface7 and IDirectDrawClipper that write down every
// call, answer as told, and say E_NOTIMPL to everything the Display has no business calling.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <ddraw.h>

#include <map>
#include <string>
#include <vector>

namespace plonta::test {

// What the stand-ins saw and how they answer, shared by all of them.
struct FakeDirectDraw {
    // "directDraw.SetCooperativeLevel", "back.Blt", ... in call order.
    std::vector<std::string> calls;
    // A call's name to the result it gives, each time; DD_OK when absent.
    std::map<std::string, HRESULT> results;
    // Results given once each, before results[]: for a surface lost in one frame only.
    std::map<std::string, std::vector<HRESULT>> nextResults;
    // Handed out by back.GetDC; null gives an error.
    HDC backDc = nullptr;
    // Whether each object is still referenced by the Display.
    int liveObjects = 0;
    RECT lastPrimaryBltDestination{};
    void* lastPrimaryBltSource = nullptr;
    DWORD lastBackBltFlags = 0;
    DWORD lastBackFillColour = 0xFFFFFFFF;
    DWORD lastFillSize = 0;
    DWORD primaryDescSize = 0, primaryDescFlags = 0, primaryDescCaps = 0;
    DWORD backDescFlags = 0, backDescCaps = 0, backWidth = 0, backHeight = 0;
    DWORD cooperativeFlags = 0;
    HWND clipperWindow = nullptr;

    HRESULT answer(const std::string& call);
    int count(const std::string& call) const;
};

// The one world the injected DirectDrawCreateEx hands out; reset per test.
FakeDirectDraw& fakeWorld();
void resetFakeWorld();

HRESULT WINAPI fakeDirectDrawCreateEx(GUID* driver, void** made, REFIID interfaceId,
                                      IUnknown* outer);

} // namespace plonta::test
