// plonta-busyloop.exe: the Windows program with the loop it used to have, which polls without
// sleeping while the window is not minimised. Only for measuring the blocking loop against it.
#include <cstdlib>

#include "shell/win32/win32_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
    plonta::Win32Shell shell(plonta::Win32Start{instance, previous, showCommand, nullptr});
    plonta::FrontEnd& frontEnd = shell.frontEnd();
    frontEnd.writeTimingsTo(std::getenv("PLONTA_PAINT_STATS"));
    if (!shell.openWindow(plonta::CommandLine{})) return plonta::exitStatusNoWindow;
    frontEnd.startUp();
    while (frontEnd.running())
        if (!shell.dispatchOne() && IsIconic(shell.window())) WaitMessage();
    frontEnd.shutDown();
    return frontEnd.exitStatus();
}
