// The routes: submitting a game, the table as JSON and as a page, an entry's recording.
#include "server/api.h"

#include <atomic>
#include <charconv>
#include <ctime>
#include <future>
#include <memory>
#include <vector>

#include <httplib.h>
#include <openssl/evp.h>

#include "server/rate_limit.h"
#include "server/replay_pool.h"
#include "server/store.h"
#include "server/submission.h"

namespace plonta {

namespace {

constexpr std::int64_t defaultLimit = 50;
constexpr std::int64_t maxLimit = 500;
constexpr std::int64_t pageRows = 100;

void answerJson(httplib::Response& res, int status, const std::string& json) {
    res.status = status;
    res.set_content(json + "\n", "application/json; charset=utf-8");
}

void answerError(httplib::Response& res, int status, std::string_view message) {
    answerJson(res, status, "{\"error\": " + jsonQuoted(message) + "}");
}

// A whole non-negative number or the fallback when absent; none for anything else.
std::optional<std::int64_t> numberParam(const httplib::Request& req, const char* key,
                                        std::int64_t fallback) {
    if (!req.has_param(key)) return fallback;
    const std::string text = req.get_param_value(key);
    std::int64_t value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::string gameKey(std::string_view steps) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(steps.data(), steps.size(), digest, &size, EVP_sha256(), nullptr);
    return std::string(reinterpret_cast<const char*>(digest), size);
}

std::string dateText(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string clientAddress(const httplib::Request& req, bool behindProxy) {
    if (behindProxy && req.has_header("X-Forwarded-For")) {
        // The last entry is the one the proxy itself added; earlier ones are the client's word.
        const std::string forwarded = req.get_header_value("X-Forwarded-For");
        const std::size_t comma = forwarded.rfind(',');
        std::string last = forwarded.substr(comma == std::string::npos ? 0 : comma + 1);
        last.erase(0, last.find_first_not_of(' '));
        return last;
    }
    return req.remote_addr;
}

// Counts the submissions being answered, so that reads keep threads of their own.
class InFlight {
  public:
    InFlight(std::atomic<std::size_t>& count, std::size_t most) : count_(count) {
        admitted_ = ++count_ <= most;
    }
    ~InFlight() { --count_; }
    InFlight(const InFlight&) = delete;
    InFlight& operator=(const InFlight&) = delete;
    bool admitted() const { return admitted_; }

  private:
    std::atomic<std::size_t>& count_;
    bool admitted_ = false;
};

struct Replay {
    ReplayOutcome outcome = ReplayOutcome::Refused;
    ReplayedGame game;
    std::string error;
};

} // namespace

void serveApi(httplib::Server& http, Store& store, ReplayPool& pool, RateLimit& limit,
              const ApiOptions& options) {
    auto inFlight = std::make_shared<std::atomic<std::size_t>>(0);

    // The body read here, whatever its declared type: httplib would parse a form-encoded one.
    http.Post("/api/games", [&store, &pool, &limit, options,
                             inFlight](const httplib::Request& req, httplib::Response& res,
                                       const httplib::ContentReader& reader) {
        std::string body;
        bool tooLarge = false;
        reader([&](const char* data, std::size_t size) {
            // Read to the end still, so that the client is there for the answer.
            tooLarge = tooLarge || body.size() + size > maxSubmissionBytes;
            if (!tooLarge) body.append(data, size);
            return true;
        });
        res.set_header("Access-Control-Allow-Origin", "*");
        if (!limit.allow(clientAddress(req, options.behindProxy))) {
            res.set_header("Retry-After", "60");
            return answerError(res, 429, "too many submissions from this address; try later");
        }
        std::string name, error;
        if (!checkName(req.get_param_value("name"), name, error))
            return answerError(res, 400, error);
        if (tooLarge) return answerError(res, 413, "the recording is larger than 1 MiB");
        const InFlight admission(*inFlight, options.maxSubmissionsInFlight);
        auto replay = std::make_shared<std::promise<Replay>>();
        auto replayed = replay->get_future();
        // The body outlives the job: this handler waits for it below.
        const auto replayLimit = options.replayLimit;
        const bool queued = admission.admitted() && pool.submit([replay, &body, replayLimit] {
            Replay result;
            const auto deadline = std::chrono::steady_clock::now() + replayLimit;
            result.outcome = replaySubmission(body, deadline, result.game, result.error);
            replay->set_value(std::move(result));
        });
        if (!queued) {
            res.set_header("Retry-After", "5");
            return answerError(res, 503, "the server is busy; try again in a moment");
        }
        const Replay result = replayed.get();
        if (result.outcome == ReplayOutcome::TooSlow) {
            res.set_header("Retry-After", "5");
            return answerError(res, 503, "the server is busy; try again in a moment");
        }
        if (result.outcome == ReplayOutcome::Refused)
            return answerError(res, 422, "not a recording: " + result.error);
        NewGame added{name,
                      result.game.score,
                      result.game.level,
                      std::time(nullptr),
                      gameKey(result.game.steps),
                      body};
        StoredGame game;
        bool created = false;
        if (!store.add(added, game, created)) {
            res.set_header("Retry-After", "5");
            return answerError(res, 503, "the database is unavailable; try again later");
        }
        // A game sent again is the entry it already is: nothing new was made.
        if (created) res.set_header("Location", "/api/games/" + std::to_string(game.id));
        answerJson(res, created ? 201 : 200,
                   "{\"id\": " + std::to_string(game.id) + ", \"score\": " +
                       std::to_string(game.score) + ", \"level\": " + std::to_string(game.level) +
                       ", \"rank\": " + std::to_string(game.rank) + "}");
    });

    // A page elsewhere may send games here and read the answer; nothing rides on cookies.
    http.Options("/api/games", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Access-Control-Allow-Origin", "*");
        res.set_header("Access-Control-Allow-Methods", "POST, GET");
        res.set_header("Access-Control-Allow-Headers", "Content-Type");
        res.status = 204;
    });

    http.Get("/api/scores", [&store](const httplib::Request& req, httplib::Response& res) {
        res.set_header("Access-Control-Allow-Origin", "*");
        const auto count = numberParam(req, "limit", defaultLimit);
        const auto offset = numberParam(req, "offset", 0);
        if (!count || !offset || *count < 1 || *count > maxLimit)
            return answerError(res, 400,
                               "limit is 1 to " + std::to_string(maxLimit) +
                                   " and offset a whole number");
        std::vector<StoredGame> games;
        if (!store.list(*count, *offset, games))
            return answerError(res, 503, "the database is unavailable; try again later");
        std::string json = "[";
        for (const StoredGame& game : games) {
            if (json.size() > 1) json += ",\n ";
            json += "{\"rank\": " + std::to_string(game.rank) +
                    ", \"name\": " + jsonQuoted(game.name) +
                    ", \"score\": " + std::to_string(game.score) +
                    ", \"level\": " + std::to_string(game.level) + ", \"date\": \"" +
                    dateText(game.submittedAt) + "\", \"id\": " + std::to_string(game.id) + "}";
        }
        answerJson(res, 200, json + "]");
    });

    http.Get(R"(/api/games/(\d{1,18}))",
             [&store](const httplib::Request& req, httplib::Response& res) {
                 res.set_header("Access-Control-Allow-Origin", "*");
                 std::optional<std::string> text;
                 if (!store.recording(std::stoll(req.matches[1]), text))
                     return answerError(res, 503, "the database is unavailable; try again later");
                 if (!text) return answerError(res, 404, "no such game");
                 res.set_content(*text, "text/plain; charset=utf-8");
             });

    http.Get("/", [&store](const httplib::Request& req, httplib::Response& res) {
        const auto offset = numberParam(req, "offset", 0).value_or(0);
        std::vector<StoredGame> games;
        if (!store.list(pageRows, offset, games)) {
            res.status = 503;
            return res.set_content("The database is unavailable; try again later.\n",
                                   "text/plain; charset=utf-8");
        }
        std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                           "<title>Plonta: the best games</title></head><body>\n"
                           "<h1>Plonta: the best games</h1>\n<table>\n<tr><th>Rank</th>"
                           "<th>Name</th><th>Score</th><th>Level</th><th>Date</th>"
                           "<th>Game</th></tr>\n";
        for (const StoredGame& game : games) {
            const std::string id = std::to_string(game.id);
            html += "<tr><td>" + std::to_string(game.rank) + "</td><td>" + htmlEscaped(game.name) +
                    "</td><td>" + std::to_string(game.score) + "</td><td>" +
                    std::to_string(game.level) + "</td><td>" + dateText(game.submittedAt) +
                    "</td><td><a href=\"/api/games/" + id + "\" download=\"plonta-" + id +
                    ".sim\">recording</a></td></tr>\n";
        }
        html += "</table>\n";
        if (static_cast<std::int64_t>(games.size()) == pageRows)
            html +=
                "<p><a href=\"/?offset=" + std::to_string(offset + pageRows) + "\">More</a></p>\n";
        res.set_content(html + "</body></html>\n", "text/html; charset=utf-8");
    });

    if (!options.siteFolder.empty()) http.set_mount_point("/play", options.siteFolder);
    http.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");

    // httplib's own refusals (a body past its limit, an unknown path) in the API's form.
    http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty())
            answerError(res, res.status, res.status == 404 ? "no such path" : "request refused");
    });
}

} // namespace plonta
