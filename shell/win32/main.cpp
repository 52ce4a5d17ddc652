// plonta.exe: the game in a Win32 window.
#include <string>
#include <string_view>
#include <vector>

#include "frontend/program.h"
#include "frontend/system_files.h"
#include "shell/win32/win32_data_folder.h"
#include "shell/win32/win32_messages.h"
#include "shell/win32/win32_score_client.h"
#include "shell/win32/win32_shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR, int showCommand) {
    const std::vector<std::string> arguments = plonta::commandLineArguments();
    plonta::SystemFiles files;
    // Before the shell, whose front end may still be sending when it goes.
    plonta::Win32ScoreClient scoreClient;
    plonta::Win32Shell shell(plonta::Win32Start{instance, previous, showCommand, nullptr});
    plonta::Win32DataFolder folder;
    shell.useDataFolder(&folder);
    shell.useScoreClient(&scoreClient);
    return plonta::runProgram(shell, files, {"plonta.exe", plonta::OptionSet{true}},
                              std::vector<std::string_view>(arguments.begin(), arguments.end()));
}
