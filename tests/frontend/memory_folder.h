// A data folder in memory, with a clock the test sets and writes it can refuse.
#pragma once

#include <map>
#include <string>

#include "frontend/data_folder.h"

namespace plonta::test {

class MemoryFolder final : public DataFolder {
  public:
    struct File {
        std::string text;
        std::int64_t modified = 0;
    };
    std::map<std::string, File> games;
    std::string settings;
    std::int64_t now = 1'000'000;
    bool refuseWrites = false;

    bool readSettings(std::string& text, std::string&) override {
        text = settings;
        return true;
    }
    bool writeSettings(std::string_view text, std::string& error) override {
        if (refuseWrites) return fail(error);
        settings = text;
        return true;
    }
    bool listGames(std::vector<KeptFile>& files, std::string&) override {
        files.clear();
        for (const auto& [name, file] : games)
            files.push_back({name, file.modified, file.text.size()});
        return true;
    }
    bool readGame(const std::string& name, std::size_t, std::string& text, std::string&) override {
        text = games.at(name).text;
        return true;
    }
    bool writeGame(const std::string& name, std::string_view text, std::string& error) override {
        if (refuseWrites) return fail(error);
        games[name] = {std::string(text), now++};
        return true;
    }
    bool removeGame(const std::string& name, std::string&) override {
        return games.erase(name) == 1;
    }
    std::string gamePath(const std::string& name) const override { return "best/" + name; }

  private:
    static bool fail(std::string& error) {
        error = "Read-only file system";
        return false;
    }
};

} // namespace plonta::test
