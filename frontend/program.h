// The one program entry both programs' main functions call: the command line, the files it
// names, the window and its loop, the exit status. A host program brings its window, its loop
// and its ways of telling the user.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frontend/command_line.h"
#include "frontend/front_end.h"
#include "frontend/host.h"
#include "frontend/launch.h"

namespace plonta {

class HostProgram : public Host {
  public:
    // The front end the host reports to.
    virtual FrontEnd& frontEnd() = 0;
    // Text the user asked for: the usage or the version.
    virtual void showOutput(const std::string& text) = 0;
    // Opens and shows the window (size and options from the command line) and reports its
    // first state; false, having told the user why, when there is none.
    virtual bool openWindow(const CommandLine& options) = 0;
    // Waits for the window's events and reports them until the front end stops running.
    virtual void runLoop() = 0;
    // The platform's HTTP client for --server; none where there is none.
    virtual ScoreClient* scoreClient() { return nullptr; }
    // After the front end shut down: what the host still has to say or leave.
    virtual void finish() {}
};

// What the program is called and which options it offers.
struct ProgramName {
    std::string_view name;
    OptionSet options;
};

// arguments come after the program's name. Returns the program's exit status.
int runProgram(HostProgram& host, LaunchFiles& files, const ProgramName& program,
               const std::vector<std::string_view>& arguments);

} // namespace plonta
