// The SQLite store: one connection behind a mutex, in WAL mode with every commit synced.
#include "server/sqlite_store.h"

#include <array>
#include <cstdio>
#include <string_view>

#include <sqlite3.h>

namespace plonta {

namespace {

// Each step from version N to N+1, ending with the version it reaches.
constexpr std::array<std::string_view, 1> migrations{
    "CREATE TABLE games ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " name TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " level INTEGER NOT NULL,"
    " submitted_at INTEGER NOT NULL,"
    " game_key BLOB NOT NULL UNIQUE,"
    " recording BLOB NOT NULL);"
    "CREATE INDEX games_by_rank ON games (score DESC, id);"
    "PRAGMA user_version = 1;",
};

// A prepared statement that finalizes itself.
class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql) {
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
            SQLITE_OK)
            stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& bind(int at, std::int64_t value) {
        if (ok()) sqlite3_bind_int64(stmt_, at, value);
        return *this;
    }
    Statement& bindText(int at, std::string_view text) {
        if (ok())
            sqlite3_bind_text64(stmt_, at, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        return *this;
    }
    Statement& bindBlob(int at, std::string_view bytes) {
        // A zero-length blob still binds as a blob, never as NULL.
        if (ok())
            sqlite3_bind_blob64(stmt_, at, bytes.empty() ? "" : bytes.data(), bytes.size(),
                                SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return ok() ? sqlite3_step(stmt_) : SQLITE_ERROR; }
    std::int64_t integer(int column) { return sqlite3_column_int64(stmt_, column); }
    std::string text(int column) {
        const void* bytes = sqlite3_column_blob(stmt_, column);
        const int size = sqlite3_column_bytes(stmt_, column);
        return bytes ? std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size))
                     : std::string();
    }

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

bool run(sqlite3* db, std::string_view sql) {
    Statement statement(db, sql);
    return statement.step() == SQLITE_DONE;
}

StoredGame readGame(Statement& row) {
    StoredGame game;
    game.id = row.integer(0);
    game.name = row.text(1);
    game.score = static_cast<std::int32_t>(row.integer(2));
    game.level = static_cast<std::int32_t>(row.integer(3));
    game.submittedAt = row.integer(4);
    return game;
}

} // namespace

SqliteStore::~SqliteStore() {
    closeLocked();
}

bool SqliteStore::open(std::string& error) {
    std::lock_guard lock(mutex_);
    return openLocked(error);
}

bool SqliteStore::openLocked(std::string& error) {
    if (db_) return true;
    if (sqlite3_open_v2(path_.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        error = db_ ? sqlite3_errmsg(db_) : "out of memory";
        closeLocked();
        return false;
    }
    // Another server on the same file waits its turn rather than failing at once.
    sqlite3_busy_timeout(db_, 5000);
    // A commit is on the disk when it returns, so an answered game survives a crash.
    bool walSet = false;
    {
        Statement wal(db_, "PRAGMA journal_mode = WAL");
        walSet = wal.step() == SQLITE_ROW && wal.text(0) == "wal";
    }
    if (!walSet || !run(db_, "PRAGMA synchronous = FULL")) {
        error = "cannot use write-ahead logging: " + std::string(sqlite3_errmsg(db_));
        closeLocked();
        return false;
    }
    std::int64_t at = -1;
    {
        Statement version(db_, "PRAGMA user_version");
        if (version.step() == SQLITE_ROW) at = version.integer(0);
    }
    if (at < 0 || at > static_cast<std::int64_t>(migrations.size())) {
        error = at < 0 ? sqlite3_errmsg(db_) : "the tables were made by a newer plonta-server";
        closeLocked();
        return false;
    }
    for (std::size_t step = static_cast<std::size_t>(at); step < migrations.size(); ++step) {
        // Each step whole or not at all; IMMEDIATE so that two servers never both run it.
        const std::string sql(migrations[step]);
        if (!run(db_, "BEGIN IMMEDIATE") ||
            sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK ||
            !run(db_, "COMMIT")) {
            error = "cannot make the tables: " + std::string(sqlite3_errmsg(db_));
            closeLocked();
            return false;
        }
    }
    return true;
}

void SqliteStore::closeLocked() {
    // Whatever was begun and not committed is rolled back with the connection.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool SqliteStore::add(const NewGame& added, StoredGame& game, bool& created) {
    std::lock_guard lock(mutex_);
    std::string error;
    if (!openLocked(error)) {
        std::fprintf(stderr, "plonta-server: %s: %s\n", path_.c_str(), error.c_str());
        return false;
    }
    const auto fail = [&] {
        std::fprintf(stderr, "plonta-server: %s: %s\n", path_.c_str(), sqlite3_errmsg(db_));
        closeLocked();
        return false;
    };
    if (!run(db_, "BEGIN IMMEDIATE")) return fail();
    Statement insert(db_, "INSERT INTO games (name, score, level, submitted_at, game_key,"
                          " recording) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"
                          " ON CONFLICT (game_key) DO NOTHING");
    insert.bindText(1, added.name).bind(2, added.score).bind(3, added.level);
    insert.bind(4, added.submittedAt).bindBlob(5, added.key).bindBlob(6, added.recording);
    if (insert.step() != SQLITE_DONE) return fail();
    created = sqlite3_changes(db_) == 1;
    Statement entry(db_, "SELECT id, name, score, level, submitted_at FROM games"
                         " WHERE game_key = ?1");
    entry.bindBlob(1, added.key);
    if (entry.step() != SQLITE_ROW) return fail();
    game = readGame(entry);
    Statement above(db_, "SELECT COUNT(*) FROM games WHERE score > ?1 OR (score = ?1 AND id < ?2)");
    above.bind(1, game.score).bind(2, game.id);
    if (above.step() != SQLITE_ROW) return fail();
    game.rank = above.integer(0) + 1;
    if (!run(db_, "COMMIT")) return fail();
    return true;
}

bool SqliteStore::list(std::int64_t limit, std::int64_t offset, std::vector<StoredGame>& games) {
    std::lock_guard lock(mutex_);
    std::string error;
    games.clear();
    if (!openLocked(error)) return false;
    Statement rows(db_, "SELECT id, name, score, level, submitted_at FROM games"
                        " ORDER BY score DESC, id LIMIT ?1 OFFSET ?2");
    rows.bind(1, limit).bind(2, offset);
    int status = SQLITE_ERROR;
    while ((status = rows.step()) == SQLITE_ROW) {
        games.push_back(readGame(rows));
        games.back().rank = offset + static_cast<std::int64_t>(games.size());
    }
    if (status == SQLITE_DONE) return true;
    closeLocked();
    return false;
}

bool SqliteStore::recording(std::int64_t id, std::optional<std::string>& text) {
    std::lock_guard lock(mutex_);
    std::string error;
    text.reset();
    if (!openLocked(error)) return false;
    Statement row(db_, "SELECT recording FROM games WHERE id = ?1");
    row.bind(1, id);
    const int status = row.step();
    if (status == SQLITE_ROW) text = row.text(0);
    if (status == SQLITE_ROW || status == SQLITE_DONE) return true;
    closeLocked();
    return false;
}

} // namespace plonta
