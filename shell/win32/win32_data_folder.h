// The Windows data folder: Plonta in the user's roaming application data, made when first
// written to; every file written whole through a temporary file moved over the old one.
#pragma once

#include <string>

#include "frontend/data_folder.h"

namespace plonta {

class Win32DataFolder final : public DataFolder {
  public:
    // The folder the known-folder API names; none (every write refused) where it names none.
    Win32DataFolder();

    bool readSettings(std::string& text, std::string& error) override;
    bool writeSettings(std::string_view text, std::string& error) override;
    bool listGames(std::vector<KeptFile>& files, std::string& error) override;
    bool readGame(const std::string& name, std::size_t limit, std::string& text,
                  std::string& error) override;
    bool writeGame(const std::string& name, std::string_view text, std::string& error) override;
    bool removeGame(const std::string& name, std::string& error) override;
    std::string gamePath(const std::string& name) const override;

  private:
    std::wstring gamesFolder() const { return root_ + L"\\best"; }

    std::wstring root_;
};

} // namespace plonta
