// One POST through cpp-httplib's client, with time-outs; the login name from the user database.
#include "shell/posix/posix_score_client.h"

#include <httplib.h>
#include <pwd.h>
#include <unistd.h>

namespace plonta {

HttpAnswer PosixScoreClient::post(const ServerAddress& server, const std::string& path,
                                  const std::string& body) {
    httplib::Client client(server.host, server.port);
    client.set_connection_timeout(scoreConnectSeconds, 0);
    client.set_write_timeout(scoreConnectSeconds, 0);
    client.set_read_timeout(scoreAnswerSeconds, 0);
    const httplib::Result result = client.Post(path, body, "text/plain");
    if (!result) return {0, {}, httplib::to_string(result.error())};
    return {result->status, result->body, {}};
}

std::string PosixScoreClient::loginName() {
    const passwd* user = getpwuid(geteuid());
    return user != nullptr && user->pw_name != nullptr ? user->pw_name : "";
}

} // namespace plonta
