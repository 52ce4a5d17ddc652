// The Linux data folder: $XDG_DATA_HOME/plonta, or ~/.local/share/plonta, made when first
// written to; every file written whole through a temporary file renamed over the old one.
#pragma once

#include <string>

#include "frontend/data_folder.h"

namespace plonta {

// The folder the XDG rules give for this environment; empty when there is no home to put it in.
std::string xdgDataFolder();

class PosixDataFolder final : public DataFolder {
  public:
    explicit PosixDataFolder(std::string root) : root_(std::move(root)) {}

    bool readSettings(std::string& text, std::string& error) override;
    bool writeSettings(std::string_view text, std::string& error) override;
    bool listGames(std::vector<KeptFile>& files, std::string& error) override;
    bool readGame(const std::string& name, std::size_t limit, std::string& text,
                  std::string& error) override;
    bool writeGame(const std::string& name, std::string_view text, std::string& error) override;
    bool removeGame(const std::string& name, std::string& error) override;
    std::string gamePath(const std::string& name) const override;

  private:
    std::string gamesFolder() const { return root_ + "/best"; }

    std::string root_;
};

} // namespace plonta
