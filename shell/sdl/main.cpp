// plonta: the game in an SDL2 window.
#include <string_view>
#include <vector>

#include "frontend/program.h"
#include "frontend/system_files.h"
#include "shell/posix/posix_data_folder.h"
#include "shell/posix/posix_score_client.h"
#include "shell/sdl/sdl_shell.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    plonta::SystemFiles files;
    // Before the shell, whose front end may still be sending when it goes.
    plonta::PosixScoreClient scoreClient;
    plonta::SdlShell shell;
    plonta::PosixDataFolder folder(plonta::xdgDataFolder());
    shell.useDataFolder(&folder);
    shell.useScoreClient(&scoreClient);
    return plonta::runProgram(shell, files, {"plonta", plonta::OptionSet{true}}, arguments);
}
