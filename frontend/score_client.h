// Sending a kept game to a score server: its address, the request, the answer read. The HTTP
// call itself is each platform's ScoreClient; everything around it is here, the same for all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "draw/frame.h"

namespace plonta {

// Plain http only: a server on the player's own machine or network, or behind a proxy that
// speaks http to it.
struct ServerAddress {
    std::string host;
    std::uint16_t port = 80;
    std::string prefix; // the path the API's /api/... follows, "" or "/under/here"

    bool operator==(const ServerAddress&) const = default;
};

// "http://HOST[:PORT][/PREFIX]"; false, with one line in error, for anything else.
bool parseServerUrl(std::string_view url, ServerAddress& server, std::string& error);

// 1 to 24 printable characters of UTF-8 once trimmed, as the server takes it; nothing for text
// that is no such name.
std::optional<std::string> playerName(std::string_view text);
// A login name made one: trimmed and cut to 24 characters, "Plonta" when nothing is left.
std::string defaultPlayerName(std::string_view login);

// The path and query that POST a game for this name.
std::string gamesPath(const ServerAddress& server, std::string_view name);

// How long a request may wait to connect and to send; and for the answer, longer, since the
// server replays the game before it answers.
inline constexpr int scoreConnectSeconds = 5;
inline constexpr int scoreAnswerSeconds = 15;

// What came back: status 0 when no answer did, with the reason in error.
struct HttpAnswer {
    int status = 0;
    std::string body;
    std::string error;
};

// The platform's HTTP call and login name. post is called off the loop's thread, one request at
// a time.
class ScoreClient {
  public:
    virtual ~ScoreClient() = default;
    // POSTs body as text/plain to path on the server within those time-outs.
    virtual HttpAnswer post(const ServerAddress& server, const std::string& path,
                            const std::string& body) = 0;
    // The player's login name, "" when the system has none to give.
    virtual std::string loginName() = 0;
};

// A game sent, as the player sees it; its reason is UTF-8 until screenReason makes it shown.
using SendOutcome = BestGamesPage::Sent;

// The server's answer read: a rank for 200 or 201, else its error.
SendOutcome readAnswer(const HttpAnswer& answer);

// A reason as the frame can show it: Windows-1252, '?' for what the code page lacks, cut to
// at most BestGamesPage::maxReason characters.
std::string screenReason(std::string_view utf8);

} // namespace plonta
