// plonta-busyloop.exe: the Windows program with the loop it used to have, which polls without
// sleeping while the window is not minimised. Only for measuring the blocking loop against it.
#include <cstdlib>

#include "shell/win32/win32_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
    plonta::Win32Shell shell(instance, DirectDrawCreateEx, std::getenv("PLONTA_PAINT_STATS"));
    if (!shell.startUp(previous, showCommand)) return plonta::exitStatusNoWindow;
    plonta::FrontEnd& frontEnd = shell.frontEnd();
    while (frontEnd.keepRunning)
        if (!shell.dispatchOne() && !frontEnd.active) WaitMessage();
    frontEnd.shutDown();
    return frontEnd.exitStatus;
}
