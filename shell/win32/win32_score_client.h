// The Windows program's score client: WinHTTP, plain http.
#pragma once

#include "frontend/score_client.h"

namespace plonta {

class Win32ScoreClient final : public ScoreClient {
  public:
    HttpAnswer post(const ServerAddress& server, const std::string& path,
                    const std::string& body) override;
    // The account's name, as Windows gives it.
    std::string loginName() override;
};

} // namespace plonta
