// The HTTP side: the API's routes, the table's page and the page's files, on cpp-httplib.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace httplib {
class Server;
}

namespace plonta {

class Store;
class ReplayPool;
class RateLimit;

struct ApiOptions {
    // The longest one replay may run before the submission is turned away.
    std::chrono::milliseconds replayLimit{5000};
    // Submissions answered or waiting at once; more are turned away at the door with 503.
    std::size_t maxSubmissionsInFlight = 8;
    // The address a submission counts against is the proxy's last X-Forwarded-For entry.
    bool behindProxy = false;
    // A folder served under /play/ (the built page), or none.
    std::string siteFolder;
};

// Puts every route on http; store, pool and limit must outlive it.
void serveApi(httplib::Server& http, Store& store, ReplayPool& pool, RateLimit& limit,
              const ApiOptions& options);

} // namespace plonta
