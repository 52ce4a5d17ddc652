// From the command line to the exit status, the same six steps on every host.
#include "frontend/program.h"

#include <cstdlib>

namespace plonta {

int runProgram(HostProgram& host, LaunchFiles& files, const ProgramName& program,
               const std::vector<std::string_view>& arguments) {
    Launch launch = prepareLaunch(arguments, program.name, program.options, files);
    if (!launch.play) {
        if (!launch.output.empty()) host.showOutput(launch.output);
        if (!launch.error.empty()) host.tell(Trouble::Launch, launch.error);
        return launch.exitStatus;
    }
    // Told before the window, as a bad file is, but the game goes on.
    if (!launch.note.empty()) host.tell(Trouble::Launch, launch.note);
    FrontEnd& frontEnd = host.frontEnd();
    // PLONTA_PAINT_STATS=FILE writes the paint and key timings there at exit.
    frontEnd.writeTimingsTo(std::getenv("PLONTA_PAINT_STATS"));
    handRecordingsTo(launch, frontEnd, program.name);
    frontEnd.startMuted(launch.options.mute);
    if (!host.openWindow(launch.options)) return exitStatusNoWindow;
    frontEnd.startUp();
    host.runLoop();
    frontEnd.shutDown();
    host.finish();
    return frontEnd.exitStatus();
}

} // namespace plonta
