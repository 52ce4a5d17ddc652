// The Windows program's files and words to the user: wide-character paths, the system's own
// reasons, and text for a program that has no console of its own.
#pragma once

#include <string>
#include <vector>

#include "shell/launch.h"

namespace plonta {

class Win32Files final : public LaunchFiles {
  public:
    bool read(const std::string& path, std::size_t limit, std::string& text,
              std::string& error) override;
    std::unique_ptr<RecordingSink> openForRecording(const std::string& path,
                                                    std::string& error) override;
};

// The arguments after the program's name, as UTF-8.
std::vector<std::string> commandLineArguments();

// Text the user asked for (usage, version): to standard output when it leads somewhere, else
// to the console the program was started from, else in a message box.
void showOutput(const std::string& text);
// Something went wrong: a message box, and standard error too when it leads somewhere.
void tellUser(const std::string& text);

} // namespace plonta
