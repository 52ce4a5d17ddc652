// The PostgreSQL store: a pool of connections, each with the statements prepared.
#include "server/postgres_store.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string_view>
#include <utility>

#include <libpq-fe.h>

namespace plonta {

namespace {

// Each step from version N to N+1; schema_version holds a row for every step taken.
constexpr std::array<std::string_view, 1> migrations{
    "CREATE TABLE games ("
    " id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " level INTEGER NOT NULL,"
    " submitted_at BIGINT NOT NULL,"
    " game_key BYTEA NOT NULL UNIQUE,"
    " recording BYTEA NOT NULL);"
    "CREATE INDEX games_by_rank ON games (score DESC, id);",
};

constexpr std::array<std::pair<const char*, const char*>, 5> statements{{
    {"insert", "INSERT INTO games (name, score, level, submitted_at, game_key, recording)"
               " VALUES ($1, $2, $3, $4, $5, $6) ON CONFLICT (game_key) DO NOTHING"},
    {"entry", "SELECT id, name, score, level, submitted_at FROM games WHERE game_key = $1"},
    {"above", "SELECT COUNT(*) FROM games WHERE score > $1 OR (score = $1 AND id < $2)"},
    {"list", "SELECT id, name, score, level, submitted_at FROM games"
             " ORDER BY score DESC, id LIMIT $1 OFFSET $2"},
    {"recording", "SELECT recording FROM games WHERE id = $1"},
}};

// The most connections kept open while idle: one per HTTP thread is plenty.
constexpr std::size_t maxIdle = 16;

// A result that clears itself.
class Result {
  public:
    explicit Result(PGresult* result) : result_(result) {}
    ~Result() { PQclear(result_); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    bool ok() const {
        const auto status = PQresultStatus(result_);
        return result_ && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK);
    }
    PGresult* get() const { return result_; }
    int rows() const { return PQntuples(result_); }
    std::string_view bytes(int row, int column) const {
        return {PQgetvalue(result_, row, column),
                static_cast<std::size_t>(PQgetlength(result_, row, column))};
    }
    std::int64_t integer(int row, int column) const {
        const std::string_view text = bytes(row, column);
        std::int64_t value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    }

  private:
    PGresult* result_;
};

// A parameter: text for numbers and names, binary for bytes that need not be UTF-8.
struct Param {
    std::string value;
    bool binary = false;
};

Param text(std::int64_t value) {
    return {std::to_string(value)};
}

PGresult* exec(PGconn* connection, const char* name, const std::vector<Param>& params,
               int resultFormat = 0) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const Param& param : params) {
        values.push_back(param.value.c_str());
        lengths.push_back(static_cast<int>(param.value.size()));
        formats.push_back(param.binary ? 1 : 0);
    }
    return PQexecPrepared(connection, name, static_cast<int>(params.size()), values.data(),
                          lengths.data(), formats.data(), resultFormat);
}

bool command(PGconn* connection, const char* sql) {
    return Result(PQexec(connection, sql)).ok();
}

StoredGame readGame(const Result& rows, int row) {
    StoredGame game;
    game.id = rows.integer(row, 0);
    game.name = std::string(rows.bytes(row, 1));
    game.score = static_cast<std::int32_t>(rows.integer(row, 2));
    game.level = static_cast<std::int32_t>(rows.integer(row, 3));
    game.submittedAt = rows.integer(row, 4);
    return game;
}

PGconn* connect(const std::string& url, std::string& error) {
    // Before the URL, so that the URL's own settings win.
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"5", "plonta-server", url.c_str(), nullptr};
    PGconn* connection = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(connection) != CONNECTION_OK) {
        error = connection ? PQerrorMessage(connection) : "out of memory";
        PQfinish(connection);
        return nullptr;
    }
    // The tables' notices (a table that already exists) are nobody's concern.
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    if (PQsetClientEncoding(connection, "UTF8") != 0) {
        error = PQerrorMessage(connection);
        PQfinish(connection);
        return nullptr;
    }
    return connection;
}

bool prepare(PGconn* connection) {
    for (const auto& [name, sql] : statements)
        if (!Result(PQprepare(connection, name, sql, 0, nullptr)).ok()) return false;
    return true;
}

// One step of the tables' upgrade, or none when they are current; false on failure.
bool upgradeStep(PGconn* connection, bool& current, std::string& error) {
    const auto fail = [&](const char* why) {
        error = std::string(why) + PQerrorMessage(connection);
        command(connection, "ROLLBACK");
        return false;
    };
    // Two servers starting together: the second waits for the first's step, then sees it.
    if (!command(connection, "BEGIN") ||
        !command(connection, "SELECT pg_advisory_xact_lock(2706197301)") ||
        !command(connection, "CREATE TABLE IF NOT EXISTS schema_version ("
                             " version INTEGER PRIMARY KEY,"
                             " upgraded_at TIMESTAMPTZ NOT NULL DEFAULT now())"))
        return fail("cannot read the tables' version: ");
    const Result version(
        PQexec(connection, "SELECT COALESCE(MAX(version), 0) FROM schema_version"));
    if (!version.ok() || version.rows() != 1) return fail("cannot read the tables' version: ");
    const std::int64_t at = version.integer(0, 0);
    if (at > static_cast<std::int64_t>(migrations.size())) {
        command(connection, "ROLLBACK");
        error = "the tables were made by a newer plonta-server";
        return false;
    }
    current = at == static_cast<std::int64_t>(migrations.size());
    if (!current) {
        const std::string step(migrations[static_cast<std::size_t>(at)]);
        const std::string next = std::to_string(at + 1);
        const char* params[] = {next.c_str()};
        if (!command(connection, step.c_str()) ||
            !Result(PQexecParams(connection, "INSERT INTO schema_version (version) VALUES ($1)", 1,
                                 nullptr, params, nullptr, nullptr, 0))
                 .ok())
            return fail("cannot make the tables: ");
    }
    if (!command(connection, "COMMIT")) return fail("cannot make the tables: ");
    return true;
}

void report(const char* what) {
    std::fprintf(stderr, "plonta-server: postgresql: %s", what);
    const std::string_view text = what;
    if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}

} // namespace

PostgresStore::~PostgresStore() {
    for (PGconn* connection : idle_) PQfinish(connection);
}

bool PostgresStore::open(std::string& error) {
    PGconn* connection = connect(url_, error);
    if (!connection) return false;
    for (bool current = false; !current;) {
        if (!upgradeStep(connection, current, error)) {
            PQfinish(connection);
            return false;
        }
    }
    // Prepared now that the tables they name exist.
    if (!prepare(connection)) {
        error = PQerrorMessage(connection);
        PQfinish(connection);
        return false;
    }
    give(connection);
    return true;
}

PGconn* PostgresStore::take(bool& pooled, std::string& error) {
    {
        std::lock_guard lock(mutex_);
        pooled = !idle_.empty();
        if (pooled) {
            PGconn* connection = idle_.back();
            idle_.pop_back();
            return connection;
        }
    }
    // Outside the lock: a slow connect holds up no one else.
    PGconn* connection = connect(url_, error);
    if (connection && !prepare(connection)) {
        error = PQerrorMessage(connection);
        PQfinish(connection);
        return nullptr;
    }
    return connection;
}

void PostgresStore::give(PGconn* connection) {
    if (PQstatus(connection) == CONNECTION_OK && PQtransactionStatus(connection) == PQTRANS_IDLE) {
        std::lock_guard lock(mutex_);
        if (idle_.size() < maxIdle) {
            idle_.push_back(connection);
            return;
        }
    } else {
        // The database went away: the idle ones are as dead as this one.
        std::vector<PGconn*> dead;
        {
            std::lock_guard lock(mutex_);
            dead.swap(idle_);
        }
        for (PGconn* other : dead) PQfinish(other);
    }
    PQfinish(connection);
}

template <class Work> bool PostgresStore::withConnection(Work work) {
    // A pooled connection may have died with a database that is back by now: one more try on
    // a fresh one, when the work says nothing of it reached the database.
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool pooled = false;
        std::string error;
        PGconn* connection = take(pooled, error);
        if (!connection) {
            report(error.c_str());
            return false;
        }
        bool unsent = true;
        const bool done = work(connection, unsent);
        const bool lost = PQstatus(connection) != CONNECTION_OK;
        if (!done) {
            report(PQerrorMessage(connection));
            if (!lost) command(connection, "ROLLBACK");
        }
        give(connection);
        if (done) return true;
        if (!lost || !pooled || !unsent) return false;
    }
    return false;
}

bool PostgresStore::add(const NewGame& added, StoredGame& game, bool& created) {
    return withConnection([&](PGconn* connection, bool& unsent) {
        if (!command(connection, "BEGIN")) return false;
        unsent = false;
        // Adds one at a time across every server on the database, so that each rank answered
        // counts every game committed before it; reading the table goes on meanwhile.
        if (!command(connection, "LOCK TABLE games IN SHARE ROW EXCLUSIVE MODE")) return false;
        const Result insert(exec(connection, "insert",
                                 {{added.name},
                                  text(added.score),
                                  text(added.level),
                                  text(added.submittedAt),
                                  {added.key, true},
                                  {std::string(added.recording), true}}));
        if (!insert.ok()) return false;
        created = std::string_view(PQcmdTuples(insert.get())) == "1";
        const Result entry(exec(connection, "entry", {{added.key, true}}));
        if (!entry.ok() || entry.rows() != 1) return false;
        game = readGame(entry, 0);
        const Result above(exec(connection, "above", {text(game.score), text(game.id)}));
        if (!above.ok() || above.rows() != 1) return false;
        game.rank = above.integer(0, 0) + 1;
        // Synced before it returns, with the cluster's synchronous_commit at its default.
        return command(connection, "COMMIT");
    });
}

bool PostgresStore::list(std::int64_t limit, std::int64_t offset, std::vector<StoredGame>& games) {
    return withConnection([&](PGconn* connection, bool&) {
        games.clear();
        const Result rows(exec(connection, "list", {text(limit), text(offset)}));
        if (!rows.ok()) return false;
        for (int row = 0; row < rows.rows(); ++row) {
            games.push_back(readGame(rows, row));
            games.back().rank = offset + row + 1;
        }
        return true;
    });
}

bool PostgresStore::recording(std::int64_t id, std::optional<std::string>& text) {
    return withConnection([&](PGconn* connection, bool&) {
        text.reset();
        // In binary: the bytes as they were sent.
        const Result row(exec(connection, "recording", {plonta::text(id)}, 1));
        if (!row.ok()) return false;
        if (row.rows() == 1) text = std::string(row.bytes(0, 0));
        return true;
    });
}

} // namespace plonta
