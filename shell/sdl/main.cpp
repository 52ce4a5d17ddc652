// plonta: the game in an SDL2 window.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shell/launch.h"
#include "shell/sdl/posix_files.h"
#include "shell/sdl/sdl_shell.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    plonta::PosixFiles files;
    plonta::Launch launch =
        plonta::prepareLaunch(arguments, "plonta", plonta::OptionSet{true}, files);
    if (!launch.play) {
        std::fputs(launch.output.c_str(), stdout);
        std::fputs(launch.error.c_str(), stderr);
        return launch.exitStatus;
    }
    // PLONTA_PAINT_STATS=FILE writes the paint and key timings there at exit.
    plonta::SdlShell shell(plonta::sdlDisplayCalls(), plonta::sdlClock,
                           std::getenv("PLONTA_PAINT_STATS"));
    shell.scale = launch.options.scale;
    plonta::handRecordingsTo(launch, shell.frontEnd(), "plonta");
    return shell.run();
}
