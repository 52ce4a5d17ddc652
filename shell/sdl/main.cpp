// plonta: the game in an SDL2 window.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shell/command_line.h"
#include "shell/sdl/sdl_shell.h"

int main(int argc, char** argv) {
    const plonta::OptionSet offered{true};
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    plonta::CommandLine options;
    std::string error;
    if (!plonta::parseCommandLine(arguments, offered, options, error)) {
        std::fprintf(stderr, "plonta: %s\n%s", error.c_str(),
                     plonta::usageText("plonta", offered).c_str());
        return 2;
    }
    if (options.help || options.version) {
        std::fputs(options.help ? plonta::usageText("plonta", offered).c_str()
                                : plonta::versionText("plonta").c_str(),
                   stdout);
        return 0;
    }
    // PLONTA_PAINT_STATS=FILE writes the paint and key timings there at exit.
    plonta::SdlShell shell(plonta::sdlDisplayCalls(), plonta::sdlClock,
                           std::getenv("PLONTA_PAINT_STATS"));
    shell.scale = options.scale;
    return shell.run();
}
