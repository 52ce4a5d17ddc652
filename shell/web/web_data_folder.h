// The page's data folder: the files page.js keeps in the page's IndexedDB, read whole into the
// page's memory before the game starts and written through to the database as they change.
#pragma once

#include "frontend/data_folder.h"

namespace plonta {

class WebDataFolder final : public DataFolder {
  public:
    bool readSettings(std::string& text, std::string& error) override;
    bool writeSettings(std::string_view text, std::string& error) override;
    bool listGames(std::vector<KeptFile>& files, std::string& error) override;
    bool readGame(const std::string& name, std::size_t limit, std::string& text,
                  std::string& error) override;
    bool writeGame(const std::string& name, std::string_view text, std::string& error) override;
    bool removeGame(const std::string& name, std::string& error) override;
    // The name a download of it gets.
    std::string gamePath(const std::string& name) const override { return name; }
};

} // namespace plonta
