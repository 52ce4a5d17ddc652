// The start of both programs, up to the window.
#include "frontend/launch.h"

#include <utility>

#include "frontend/front_end.h"

namespace plonta {

namespace {

Launch refuse(std::string message) {
    Launch launch;
    launch.exitStatus = exitStatusBadInput;
    launch.error = std::move(message);
    return launch;
}

} // namespace

Launch prepareLaunch(const std::vector<std::string_view>& arguments, std::string_view program,
                     const OptionSet& offered, LaunchFiles& files) {
    Launch launch;
    std::string error;
    if (!parseCommandLine(arguments, offered, launch.options, error))
        return refuse("plonta: " + error + "\n" + usageText(program, offered));
    if (launch.options.help || launch.options.version) {
        launch.output = launch.options.help ? usageText(program, offered) : versionText(program);
        return launch;
    }
    const CommandLine& options = launch.options;
    // The best games are the data folder's, which the program's host serves.
    if (options.scores) return launch;
    // Read whole before the record file opens: the two may be the same file.
    if (!options.replay.empty()) {
        std::string text;
        if (!files.read(options.replay, maxRecordingBytes, text, error))
            return refuse("plonta: " + options.replay + ": " + error + "\n");
        if (text.size() > maxRecordingBytes)
            return refuse("plonta: " + options.replay + ": not a recording: larger than " +
                          std::to_string(maxRecordingBytes >> 20) + " MiB\n");
        Recording recording;
        if (!readRecording(text, recording, error))
            return refuse("plonta: " + options.replay + ": " + error + "\n");
        if (recording.cutShortLine != 0)
            launch.note = "plonta: " + options.replay + ": line " +
                          std::to_string(recording.cutShortLine) +
                          " is cut short; the game before it replays\n";
        launch.replay = std::move(recording);
    }
    if (!options.record.empty()) {
        launch.record = files.openForRecording(options.record, error);
        if (!launch.record) return refuse("plonta: " + options.record + ": " + error + "\n");
    }
    launch.play = true;
    return launch;
}

void handRecordingsTo(Launch& launch, FrontEnd& frontEnd, std::string_view program) {
    if (launch.replay) frontEnd.playBack(std::move(*launch.replay), launch.options.speed);
    if (launch.record)
        frontEnd.record(std::move(launch.record), launch.options.record, std::string(program));
}

} // namespace plonta
