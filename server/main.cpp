// plonta-server: accepts recorded games, replays each, and keeps the table of what they score.
#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include <httplib.h>

#include "server/api.h"
#include "server/rate_limit.h"
#include "server/replay_pool.h"
#include "server/store.h"

namespace {

constexpr const char* usage =
    "usage: plonta-server [--listen ADDRESS:PORT] [--database URL] [--site DIR]\n"
    "                     [--submissions-per-minute N] [--behind-proxy]\n"
    "  --listen ADDRESS:PORT     where to listen (default 127.0.0.1:8090; port 0 picks one)\n"
    "  --database URL            sqlite:///PATH or a path (default: scores.db in the data\n"
    "                            folder, $XDG_DATA_HOME/plonta-server or\n"
    "                            ~/.local/share/plonta-server), or\n"
    "                            postgresql://USER@HOST:PORT/DB%s\n"
    "  --site DIR                serve the built page from DIR under /play/\n"
    "  --submissions-per-minute  per address (default 20; 0 for no limit)\n"
    "  --behind-proxy            count submissions by the proxy's X-Forwarded-For\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "plonta-server: %s\n", message.c_str());
    return 2;
}

std::filesystem::path dataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return std::filesystem::path(xdg) / "plonta-server";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".local/share/plonta-server";
}

} // namespace

int main(int argc, char** argv) {
    // Signals go to one thread that stops the server between requests: blocked before any
    // other thread starts, so that none of them takes one.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::string listen = "127.0.0.1:8090";
    std::string database;
    plonta::ApiOptions options;
    std::uint32_t perMinute = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help") {
            std::printf(usage, plonta::hasPostgres() ? "" : " (not in this build)");
            return 0;
        } else if (arg == "--behind-proxy") {
            options.behindProxy = true;
        } else if (arg == "--listen" && hasValue) {
            listen = argv[++i];
        } else if (arg == "--database" && hasValue) {
            database = argv[++i];
        } else if (arg == "--site" && hasValue) {
            options.siteFolder = argv[++i];
        } else if (arg == "--submissions-per-minute" && hasValue) {
            const std::string_view value = argv[++i];
            const auto [end, status] =
                std::from_chars(value.data(), value.data() + value.size(), perMinute);
            if (status != std::errc() || end != value.data() + value.size())
                return fail("--submissions-per-minute takes a whole number");
        } else {
            std::fprintf(stderr, usage, plonta::hasPostgres() ? "" : " (not in this build)");
            return 2;
        }
    }
    const std::size_t colon = listen.rfind(':');
    int port = -1;
    if (colon != std::string::npos) {
        const auto [end, status] =
            std::from_chars(listen.data() + colon + 1, listen.data() + listen.size(), port);
        if (status != std::errc() || end != listen.data() + listen.size()) port = -1;
    }
    if (port < 0 || port > 65535) return fail("--listen takes ADDRESS:PORT");
    std::string host = listen.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);

    if (database.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(dataFolder(), ignored);
        database = (dataFolder() / "scores.db").string();
    }
    std::string error;
    const auto store = plonta::openStore(database, error);
    if (!store) return fail(error);

    // One replay per core; a few more submissions wait, and the rest of the HTTP threads
    // stay free for reading the table.
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t httpThreads = std::max<std::size_t>(16, 4 * cores);
    options.maxSubmissionsInFlight = httpThreads / 2;
    plonta::ReplayPool pool(cores, options.maxSubmissionsInFlight);
    plonta::RateLimit limit(perMinute);

    httplib::Server http;
    http.new_task_queue = [httpThreads] { return new httplib::ThreadPool(httpThreads); };
    // A slow or idle client gives its thread back soon.
    http.set_read_timeout(10);
    http.set_write_timeout(10);
    http.set_keep_alive_timeout(2);
    // The handler refuses what is over 1 MiB with its reason; this stops the far larger.
    http.set_payload_max_length(std::size_t{8} << 20);
    plonta::serveApi(http, *store, pool, limit, options);

    const int bound =
        port == 0 ? http.bind_to_any_port(host) : (http.bind_to_port(host, port) ? port : -1);
    if (bound < 0) return fail("cannot listen on " + listen);
    std::printf("plonta-server: listening on http://%s:%d/ with %s\n",
                listen.substr(0, colon).c_str(), bound, plonta::shownDatabase(database).c_str());
    std::fflush(stdout);

    std::thread stopper([&http, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        http.stop();
    });
    const bool served = http.listen_after_bind();
    // Woken by a signal of our own if the server stopped for another reason.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return served ? 0 : 1;
}
