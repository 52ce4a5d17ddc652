// The Windows program's files: reading a recording, and a recording written in place and
// flushed, with wide-character paths and the system's own reasons.
#pragma once

#include "shell/launch.h"

namespace plonta {

class Win32Files final : public LaunchFiles {
  public:
    bool read(const std::string& path, std::size_t limit, std::string& text,
              std::string& error) override;
    std::unique_ptr<RecordingSink> openForRecording(const std::string& path,
                                                    std::string& error) override;
};

} // namespace plonta
