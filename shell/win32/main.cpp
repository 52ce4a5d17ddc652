// plonta.exe: the game in a Win32 window.
#include <cstdlib>

#include "shell/launch.h"
#include "shell/win32/win32_io.h"
#include "shell/win32/win32_shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR, int showCommand) {
    const std::vector<std::string> arguments = plonta::commandLineArguments();
    plonta::Win32Files files;
    plonta::Launch launch =
        plonta::prepareLaunch(std::vector<std::string_view>(arguments.begin(), arguments.end()),
                              "plonta.exe", plonta::OptionSet{}, files);
    if (!launch.play) {
        if (!launch.output.empty()) plonta::showOutput(launch.output);
        if (!launch.error.empty()) plonta::tellUser(launch.error);
        return launch.exitStatus;
    }
    // PLONTA_PAINT_STATS=FILE writes the paint and key timings there at exit.
    plonta::Win32Shell shell(instance, DirectDrawCreateEx, std::getenv("PLONTA_PAINT_STATS"));
    plonta::handRecordingsTo(launch, shell.frontEnd(), "plonta.exe");
    return shell.run(previous, showCommand);
}
