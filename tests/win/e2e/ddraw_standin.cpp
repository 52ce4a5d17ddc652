// A ddraw.dll for the end-to-end tests: the unit tests' stand-in DirectDraw objects, with the
// call that PLONTA_DDRAW_FAILURE names failing with its code ("clipper.SetHWnd 0x88760082").
// Put beside a copy of plonta.exe and loaded in place of the system's (WINEDLLOVERRIDES
// ddraw=n), it lets the real program meet a display that cannot be set up.
#include <cstdio>
#include <cstdlib>

#include "tests/present/fake_ddraw.h"

extern "C" HRESULT WINAPI standInDirectDrawCreateEx(GUID* driver, void** made, REFIID interfaceId,
                                                    IUnknown* outer) {
    static bool told = false;
    if (!told) {
        told = true;
        char call[64]{};
        unsigned long code = 0;
        const char* failure = std::getenv("PLONTA_DDRAW_FAILURE");
        if (failure != nullptr && std::sscanf(failure, "%63s %lx", call, &code) == 2)
            plonta::test::fakeWorld().results[call] = static_cast<HRESULT>(code);
    }
    return plonta::test::fakeDirectDrawCreateEx(driver, made, interfaceId, outer);
}
