// The stand-in DirectDraw objects: only the calls of the Display's set-up and paint cycle work.
#include "tests/present/fake_ddraw.h"

#include <algorithm>

namespace plonta::test {

HRESULT FakeDirectDraw::answer(const std::string& call) {
    calls.push_back(call);
    auto once = nextResults.find(call);
    if (once != nextResults.end() && !once->second.empty()) {
        const HRESULT result = once->second.front();
        once->second.erase(once->second.begin());
        return result;
    }
    auto always = results.find(call);
    return always == results.end() ? DD_OK : always->second;
}

int FakeDirectDraw::count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

namespace {

FakeDirectDraw world;

// Every stand-in counts its references; the last Release writes itself down.
template <typename Interface> class Counted : public Interface {
  public:
    explicit Counted(std::string name) : name_(std::move(name)) { ++world.liveObjects; }
    virtual ~Counted() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        world.calls.push_back(name_ + ".Release");
        const ULONG left = --references_;
        if (left == 0) {
            --world.liveObjects;
            delete this;
        }
        return left;
    }

  protected:
    HRESULT call(const char* method) { return world.answer(name_ + "." + method); }
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    ULONG references_ = 1;
};

class FakeClipper final : public Counted<IDirectDrawClipper> {
  public:
    FakeClipper() : Counted("clipper") {}
    HRESULT STDMETHODCALLTYPE GetClipList(LPRECT, LPRGNDATA, LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHWnd(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsClipListChanged(WINBOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetClipList(LPRGNDATA, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD, HWND window) override {
        world.clipperWindow = window;
        return call("SetHWnd");
    }
};

class FakeSurface final : public Counted<IDirectDrawSurface7> {
  public:
    explicit FakeSurface(const char* surfaceName) : Counted(surfaceName) {}

    HRESULT STDMETHODCALLTYPE Blt(LPRECT destination, LPDIRECTDRAWSURFACE7 source, LPRECT,
                                  DWORD flags, LPDDBLTFX effects) override {
        if (name() == "primary") {
            if (destination != nullptr) world.lastPrimaryBltDestination = *destination;
            world.lastPrimaryBltSource = source;
        } else {
            world.lastBackBltFlags = flags;
            if (effects != nullptr) {
                world.lastBackFillColour = effects->dwFillColor;
                world.lastFillSize = effects->dwSize;
            }
        }
        return call("Blt");
    }
    HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) override {
        const HRESULT result = call("GetDC");
        *dc = result == DD_OK ? world.backDc : nullptr;
        return result;
    }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return call("ReleaseDC"); }
    HRESULT STDMETHODCALLTYPE Restore() override { return call("Restore"); }
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER) override {
        return call("SetClipper");
    }
    HRESULT STDMETHODCALLTYPE IsLost() override { return call("IsLost"); }

    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE7) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddOverlayDirtyRect(LPRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BltBatch(LPDDBLTBATCH, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BltFast(DWORD, DWORD, LPDIRECTDRAWSURFACE7, LPRECT, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE7) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumAttachedSurfaces(LPVOID, LPDDENUMSURFACESCALLBACK7) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumOverlayZOrders(DWORD, LPVOID,
                                                 LPDDENUMSURFACESCALLBACK7) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE7, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE7*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetBltStatus(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS2) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColorKey(DWORD, LPDDCOLORKEY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFlipStatus(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOverlayPosition(LPLONG, LPLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW, LPDDSURFACEDESC2) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Lock(LPRECT, LPDDSURFACEDESC2, DWORD, HANDLE) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD, LPDDCOLORKEY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOverlayPosition(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateOverlay(LPRECT, LPDIRECTDRAWSURFACE7, LPRECT, DWORD,
                                            LPDDOVERLAYFX) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UpdateOverlayDisplay(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateOverlayZOrder(DWORD, LPDIRECTDRAWSURFACE7) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDDInterface(LPVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PageLock(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PageUnlock(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSurfaceDesc(LPDDSURFACEDESC2, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, LPVOID, DWORD, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, LPVOID, LPDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FreePrivateData(REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUniquenessValue(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ChangeUniquenessValue() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPriority(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPriority(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetLOD(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLOD(LPDWORD) override { return E_NOTIMPL; }
};

class FakeDirectDraw7 final : public Counted<IDirectDraw7> {
  public:
    FakeDirectDraw7() : Counted("directDraw") {}

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD flags) override {
        world.cooperativeFlags = flags;
        return call("SetCooperativeLevel");
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                                            IUnknown*) override {
        const bool primary = (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
        if (primary) {
            world.primaryDescSize = desc->dwSize;
            world.primaryDescFlags = desc->dwFlags;
            world.primaryDescCaps = desc->ddsCaps.dwCaps;
        } else {
            world.backDescFlags = desc->dwFlags;
            world.backDescCaps = desc->ddsCaps.dwCaps;
            world.backWidth = desc->dwWidth;
            world.backHeight = desc->dwHeight;
        }
        const HRESULT result = call(primary ? "CreateSurface(primary)" : "CreateSurface(back)");
        *surface = result == DD_OK ? new FakeSurface(primary ? "primary" : "back") : nullptr;
        return result;
    }
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD, LPDIRECTDRAWCLIPPER* clipper,
                                            IUnknown*) override {
        const HRESULT result = call("CreateClipper");
        *clipper = result == DD_OK ? new FakeClipper : nullptr;
        return result;
    }
    HRESULT STDMETHODCALLTYPE RestoreAllSurfaces() override { return call("RestoreAllSurfaces"); }

    HRESULT STDMETHODCALLTYPE Compact() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*,
                                            IUnknown*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DuplicateSurface(LPDIRECTDRAWSURFACE7,
                                               LPDIRECTDRAWSURFACE7*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD, LPDDSURFACEDESC2, LPVOID,
                                               LPDDENUMMODESCALLBACK2) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumSurfaces(DWORD, LPDDSURFACEDESC2, LPVOID,
                                           LPDDENUMSURFACESCALLBACK7) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FlipToGDISurface() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS, LPDDCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFourCCCodes(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGDISurface(LPDIRECTDRAWSURFACE7*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMonitorFrequency(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetScanLine(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVerticalBlankStatus(WINBOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD, DWORD, DWORD, DWORD, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD, HANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAvailableVidMem(LPDDSCAPS2, LPDWORD, LPDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSurfaceFromDC(HDC, LPDIRECTDRAWSURFACE7*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE StartModeTest(LPSIZE, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EvaluateMode(DWORD, DWORD*) override { return E_NOTIMPL; }
};

} // namespace

FakeDirectDraw& fakeWorld() {
    return world;
}

void resetFakeWorld() {
    world = FakeDirectDraw{};
}

HRESULT WINAPI fakeDirectDrawCreateEx(GUID* driver, void** made, REFIID interfaceId,
                                      IUnknown* outer) {
    const bool asked =
        driver == nullptr && outer == nullptr && IsEqualGUID(interfaceId, IID_IDirectDraw7);
    const HRESULT result = world.answer("DirectDrawCreateEx");
    if (!asked) return DDERR_INVALIDPARAMS;
    *made = result == DD_OK ? static_cast<IDirectDraw7*>(new FakeDirectDraw7) : nullptr;
    return result;
}

} // namespace plonta::test
