// plonta.exe: the game in a Win32 window.
#include <cstdlib>

#include "shell/win32/win32_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
    // PLONTA_PAINT_STATS=FILE writes the paint and key timings there at exit.
    plonta::Win32Shell shell(instance, DirectDrawCreateEx, std::getenv("PLONTA_PAINT_STATS"));
    return shell.run(previous, showCommand);
}
