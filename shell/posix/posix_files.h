// The Linux program's files: reading a recording, and a recording written in place and synced.
#pragma once

#include "shell/launch.h"

namespace plonta {

class PosixFiles final : public LaunchFiles {
  public:
    bool read(const std::string& path, std::size_t limit, std::string& text,
              std::string& error) override;
    std::unique_ptr<RecordingSink> openForRecording(const std::string& path,
                                                    std::string& error) override;
};

} // namespace plonta
