// The score server's addresses, names and answers, as the player and the server give them.
#include <gtest/gtest.h>

#include "frontend/score_client.h"

namespace plonta {
namespace {

TEST(ScoreClient, ServerAddresses) {
    const struct {
        const char* url;
        bool taken;
        ServerAddress server;
    } table[] = {
        {"http://127.0.0.1:8090", true, {"127.0.0.1", 8090, ""}},
        {"http://scores.example/plonta/", true, {"scores.example", 80, "/plonta"}},
        {"https://scores.example", false, {}},
        {"http://:8090", false, {}},
        {"http://host:0", false, {}},
        {"http://host:65536", false, {}},
        {"http://host/api?x=1", false, {}},
        {"ftp://host", false, {}},
    };
    for (const auto& row : table) {
        ServerAddress server;
        std::string error;
        EXPECT_EQ(parseServerUrl(row.url, server, error), row.taken) << row.url;
        EXPECT_EQ(error.empty(), row.taken) << row.url;
        if (row.taken) {
            EXPECT_EQ(server, row.server) << row.url;
        }
    }
}

TEST(ScoreClient, NamesAreTrimmedPrintableAndAtMost24Characters) {
    const std::string twentyFour(24, 'x');
    EXPECT_EQ(playerName("  Anna \xC3\x9Cnal\t"), "Anna \xC3\x9Cnal");
    // 24 characters of two bytes each are a name; 25 are not.
    std::string umlauts;
    for (int i = 0; i < 24; ++i) umlauts += "\xC3\xBC";
    EXPECT_EQ(playerName(umlauts), umlauts);
    EXPECT_EQ(playerName(umlauts + "x"), std::nullopt);
    for (const char* refused : {"", "   ", "a\x01z", "\xC3", "\xC0\xAF", "a\xC2\x85z"})
        EXPECT_EQ(playerName(refused), std::nullopt) << refused;
    EXPECT_EQ(defaultPlayerName(twentyFour + "yz"), twentyFour);
    EXPECT_EQ(defaultPlayerName("  "), "Plonta");
}

TEST(ScoreClient, TheNameGoesInTheQueryEncoded) {
    EXPECT_EQ(gamesPath({"h", 80, "/p"}, "A b&c=\xC3\x9C~"),
              "/p/api/games?name=A%20b%26c%3D%C3%9C~");
}

TEST(ScoreClient, AnswersRead) {
    using Kind = SendOutcome::Kind;
    const struct {
        HttpAnswer answer;
        SendOutcome outcome;
    } table[] = {
        {{201, R"({"id": 7, "score": 120, "level": 2, "rank": 3})", {}}, {Kind::Sent, 3, {}}},
        {{200, R"({"rank":12,"id":1})", {}}, {Kind::Sent, 12, {}}},
        {{201, "{}", {}}, {Kind::Refused, 0, "no rank in the answer"}},
        {{422, R"({"error": "holds a \"set\" line"})", {}},
         {Kind::Refused, 0, R"(holds a "set" line)"}},
        {{503, "<html>busy</html>", {}}, {Kind::Refused, 0, "HTTP 503"}},
        {{0, {}, "timed out"}, {Kind::NoAnswer, 0, "timed out"}},
    };
    for (const auto& row : table) EXPECT_EQ(readAnswer(row.answer), row.outcome) << row.answer.body;
}

TEST(ScoreClient, ReasonsFitTheFrame) {
    EXPECT_EQ(screenReason("zu gro\xC3\x9F \xE2\x82\xAC"), "zu gro\xDF ?");
    const std::string shown = screenReason(std::string(100, 'w'));
    EXPECT_EQ(shown.size(), BestGamesPage::maxReason);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
}

} // namespace
} // namespace plonta
