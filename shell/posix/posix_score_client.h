// The Linux program's score client: cpp-httplib's, plain http.
#pragma once

#include "frontend/score_client.h"

namespace plonta {

class PosixScoreClient final : public ScoreClient {
  public:
    HttpAnswer post(const ServerAddress& server, const std::string& path,
                    const std::string& body) override;
    // The user's name in the password database.
    std::string loginName() override;
};

} // namespace plonta
