// The program's files on the system it runs on: reading a recording, and a recording written in
// place and on the disk line by line, with the system's own reasons when that fails. Each
// desktop host's platform folder realises it (shell/posix, shell/win32).
#pragma once

#include "frontend/launch.h"

namespace plonta {

class SystemFiles final : public LaunchFiles {
  public:
    bool read(const std::string& path, std::size_t limit, std::string& text,
              std::string& error) override;
    std::unique_ptr<RecordingSink> openForRecording(const std::string& path,
                                                    std::string& error) override;
};

} // namespace plonta
