// One game at a time sent off the loop's thread, its answer handed back on it.
#pragma once

#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "frontend/score_client.h"

namespace plonta {

class ScoreSender {
  public:
    // wake is called on the sending thread once an answer waits: the host's loop then calls
    // take on its own.
    ScoreSender(ScoreClient& client, std::function<void()> wake);
    // A request under way is waited for, at most its time-outs.
    ~ScoreSender();
    ScoreSender(const ScoreSender&) = delete;
    ScoreSender& operator=(const ScoreSender&) = delete;

    bool busy() const { return worker_.joinable(); }
    // Not while busy.
    void send(const ServerAddress& server, std::string path, std::string body);
    // The answer once it came, once; nothing before.
    std::optional<HttpAnswer> take();

  private:
    ScoreClient& client_;
    std::function<void()> wake_;
    std::future<HttpAnswer> answer_;
    std::thread worker_;
};

} // namespace plonta
