// plonta: the game in an SDL2 window.
#include <cstdlib>

#include "shell/sdl/sdl_shell.h"

int main(int, char**) {
    // PLONTA_PAINT_STATS=FILE writes the paint and key timings there at exit.
    plonta::SdlShell shell(plonta::sdlDisplayCalls(), plonta::sdlClock,
                           std::getenv("PLONTA_PAINT_STATS"));
    return shell.run();
}
