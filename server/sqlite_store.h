// The table in an SQLite file: the embedded default.
#pragma once

#include <mutex>
#include <string>

#include "server/store.h"

struct sqlite3;

namespace plonta {

class SqliteStore final : public Store {
  public:
    explicit SqliteStore(std::string path) : path_(std::move(path)) {}
    ~SqliteStore() override;
    // Opens the file, creating or upgrading its tables; false with the reason in error.
    bool open(std::string& error);

    bool add(const NewGame& added, StoredGame& game, bool& created) override;
    bool list(std::int64_t limit, std::int64_t offset, std::vector<StoredGame>& games) override;
    bool recording(std::int64_t id, std::optional<std::string>& text) override;

  private:
    bool openLocked(std::string& error);
    // After a failure: the next call opens the file afresh.
    void closeLocked();

    std::string path_;
    std::mutex mutex_;
    sqlite3* db_ = nullptr;
};

} // namespace plonta
