// Where the table lives: one interface for every database the server can keep it in.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plonta {

struct StoredGame {
    std::int64_t id = 0;
    std::string name;
    std::int32_t score = 0;
    std::int32_t level = 0;
    std::int64_t submittedAt = 0; // seconds since 1970, UTC
    std::int64_t rank = 0;        // 1 for the best; ties go to the earlier submission
};

struct NewGame {
    std::string name;
    std::int32_t score = 0;
    std::int32_t level = 0;
    std::int64_t submittedAt = 0;
    std::string key; // the same for recordings of the same game, and only for those
    std::string_view recording;
};

// Every call is one transaction and may come from any thread. A call that returns false found
// the database failing; it changed nothing, and a later call tries the database again.
class Store {
  public:
    virtual ~Store() = default;
    // Stores the game unless one with its key is there; either way game is the entry, with
    // its rank, and created says which. Returns only once the entry is durable.
    virtual bool add(const NewGame& added, StoredGame& game, bool& created) = 0;
    // The table from offset on, best first.
    virtual bool list(std::int64_t limit, std::int64_t offset, std::vector<StoredGame>& games) = 0;
    // The recording of an entry; none when there is no such entry.
    virtual bool recording(std::int64_t id, std::optional<std::string>& text) = 0;
};

// The store a --database value names: "sqlite:///path", a plain path, or
// "postgresql://user@host:port/db" ("postgres://" too). None, with the reason in error, for a
// value no store understands or a database that cannot be opened.
std::unique_ptr<Store> openStore(const std::string& url, std::string& error);

// Whether this build has the PostgreSQL store.
bool hasPostgres();

// The value with any password in it masked, for printing.
std::string shownDatabase(const std::string& url);

} // namespace plonta
