// The table in PostgreSQL, for several servers behind one proxy.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/store.h"

struct pg_conn;

namespace plonta {

class PostgresStore final : public Store {
  public:
    explicit PostgresStore(std::string url) : url_(std::move(url)) {}
    ~PostgresStore() override;
    // Connects, creating or upgrading the tables; false with the reason in error.
    bool open(std::string& error);

    bool add(const NewGame& added, StoredGame& game, bool& created) override;
    bool list(std::int64_t limit, std::int64_t offset, std::vector<StoredGame>& games) override;
    bool recording(std::int64_t id, std::optional<std::string>& text) override;

  private:
    // A connection of the pool's, or a new one; none while the database is down.
    pg_conn* take(bool& pooled, std::string& error);
    // Back to the pool if it is still good, else closed so that the next call connects afresh.
    void give(pg_conn* connection);
    // Runs work(connection, unsent) on a connection; false when the database failed it.
    template <class Work> bool withConnection(Work work);

    std::string url_;
    std::mutex mutex_;
    std::vector<pg_conn*> idle_;
};

} // namespace plonta
