// From the command line to a game ready to start: the options checked, a recording to replay
// read whole, the file to record into opened, all before any window opens. The same steps in
// the same order on every platform; only the file calls are the platform's.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/command_line.h"
#include "frontend/recording.h"

namespace plonta {

class FrontEnd;

inline constexpr int exitStatusBadInput = 2;
// Why a file cannot be recorded into while another program records into it.
inline constexpr char recordingInUse[] = "another program is recording into it";

// The platform's file calls.
class LaunchFiles {
  public:
    virtual ~LaunchFiles() = default;
    // The file's bytes, at most limit + 1 of them. False, with the system's reason in error,
    // for a file that cannot be read, a directory among them.
    virtual bool read(const std::string& path, std::size_t limit, std::string& text,
                      std::string& error) = 0;
    // A file to record into, made if it does not exist; what it held stays until the
    // recording starts. Null, with the reason, when it cannot be opened for writing.
    virtual std::unique_ptr<RecordingSink> openForRecording(const std::string& path,
                                                            std::string& error) = 0;
};

struct Launch {
    // False: no game; show output and error (or the best games, asked for), then exit with
    // exitStatus.
    bool play = false;
    int exitStatus = 0;
    std::string output; // asked for: the usage or the version
    std::string error;  // what was wrong, "plonta: ..." lines
    std::string note;   // playing: what the player should know first, "plonta: ..." lines
    CommandLine options;
    std::optional<Recording> replay;
    std::unique_ptr<RecordingSink> record;
};

// arguments come after the program's name; program is the name usage and recordings give it.
Launch prepareLaunch(const std::vector<std::string_view>& arguments, std::string_view program,
                     const OptionSet& offered, LaunchFiles& files);

// Gives the front end the recording to replay and the file to record into.
void handRecordingsTo(Launch& launch, FrontEnd& frontEnd, std::string_view program);

} // namespace plonta
