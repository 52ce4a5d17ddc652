// From the command line to the exit status, the same six steps on every host.
#include "frontend/program.h"

#include <cstdlib>

#include "frontend/best_games.h"

namespace plonta {

namespace {

// --scores: the best games as text, each file that is left out told as in play.
int showBestGames(HostProgram& host) {
    DataFolder* folder = host.dataFolder();
    if (folder == nullptr) return 0;
    BestGames best;
    std::vector<std::string> troubles;
    std::string error;
    if (!best.load(*folder, troubles, error))
        troubles.push_back("plonta: the data folder: " + error);
    for (const std::string& trouble : troubles) host.tell(Trouble::DataFolder, trouble);
    const std::string text = scoresText(best.table(), *folder);
    if (!text.empty()) host.showOutput(text);
    return 0;
}

} // namespace

int runProgram(HostProgram& host, LaunchFiles& files, const ProgramName& program,
               const std::vector<std::string_view>& arguments) {
    Launch launch = prepareLaunch(arguments, program.name, program.options, files);
    if (!launch.play) {
        if (launch.options.scores && launch.error.empty() && !launch.options.help &&
            !launch.options.version)
            return showBestGames(host);
        if (!launch.output.empty()) host.showOutput(launch.output);
        if (!launch.error.empty()) host.tell(Trouble::Launch, launch.error);
        return launch.exitStatus;
    }
    // Told before the window, as a bad file is, but the game goes on.
    if (!launch.note.empty()) host.tell(Trouble::Launch, launch.note);
    FrontEnd& frontEnd = host.frontEnd();
    // PLONTA_PAINT_STATS=FILE writes the paint and key timings there at exit.
    frontEnd.writeTimingsTo(std::getenv("PLONTA_PAINT_STATS"));
    frontEnd.nameProgram(std::string(program.name));
    handRecordingsTo(launch, frontEnd, program.name);
    frontEnd.startMuted(launch.options.mute);
    frontEnd.startWith(launch.options.marks, launch.options.language);
    ScoreClient* client = host.scoreClient();
    if (!launch.options.server.empty() && client != nullptr) {
        ServerAddress server;
        std::string error;
        parseServerUrl(launch.options.server, server, error);
        // The name the player's system knows them by, unless they chose another.
        std::string name = launch.options.name.empty() ? defaultPlayerName(client->loginName())
                                                       : launch.options.name;
        frontEnd.sendScoresTo(std::move(server), std::move(name), *client);
    }
    if (!host.openWindow(launch.options)) return exitStatusNoWindow;
    frontEnd.startUp();
    host.runLoop();
    frontEnd.shutDown();
    host.finish();
    return frontEnd.exitStatus();
}

} // namespace plonta
