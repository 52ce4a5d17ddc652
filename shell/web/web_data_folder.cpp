// The data folder's calls into page.js (plontaKept).
#include "shell/web/web_data_folder.h"

#include <emscripten/emscripten.h>
// em_js.h wants emscripten.h before it.
#include <emscripten/em_js.h>

namespace plonta {

namespace {

// Paths in the page's store: "settings.txt" and "best/NAME".
EM_JS(int, pageKeptSize, (const char* path), { return plontaKept.size(UTF8ToString(path)); });
EM_JS(void, pageKeptCopy, (const char* path, char* into),
      { HEAPU8.set(plontaKept.bytes(UTF8ToString(path)), into); });
EM_JS(double, pageKeptModified, (const char* path),
      { return plontaKept.modified(UTF8ToString(path)); });
EM_JS(int, pageKeptWrite, (const char* path, const char* bytes, std::size_t size),
      { return plontaKept.write(UTF8ToString(path), HEAPU8.slice(bytes, bytes + size)) ? 1 : 0; });
EM_JS(void, pageKeptRemove, (const char* path), { plontaKept.remove(UTF8ToString(path)); });
EM_JS(int, pageKeptNamesSize, (), {
    plontaKept.listed = new TextEncoder().encode(plontaKept.games().join('\n'));
    return plontaKept.listed.length;
});
EM_JS(void, pageKeptNamesCopy, (char* into), { HEAPU8.set(plontaKept.listed, into); });

constexpr char noStore[] = "the browser keeps no data for this page";

bool readFile(const std::string& path, std::string& text) {
    const int size = pageKeptSize(path.c_str());
    text.assign(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0) pageKeptCopy(path.c_str(), text.data());
    return size >= 0;
}

} // namespace

bool WebDataFolder::readSettings(std::string& text, std::string&) {
    readFile(settingsFileName, text);
    return true;
}

bool WebDataFolder::writeSettings(std::string_view text, std::string& error) {
    if (pageKeptWrite(settingsFileName, text.data(), text.size()) != 0) return true;
    error = noStore;
    return false;
}

bool WebDataFolder::listGames(std::vector<KeptFile>& files, std::string&) {
    files.clear();
    std::string names(static_cast<std::size_t>(pageKeptNamesSize()), '\0');
    if (!names.empty()) pageKeptNamesCopy(names.data());
    for (std::size_t start = 0; start < names.size();) {
        const std::size_t end = std::min(names.find('\n', start), names.size());
        const std::string name = names.substr(start, end - start);
        const std::string path = "best/" + name;
        files.push_back({name, static_cast<std::int64_t>(pageKeptModified(path.c_str())),
                         static_cast<std::uint64_t>(pageKeptSize(path.c_str()))});
        start = end + 1;
    }
    return true;
}

bool WebDataFolder::readGame(const std::string& name, std::size_t limit, std::string& text,
                             std::string& error) {
    if (!readFile("best/" + name, text)) {
        error = "No such file or directory";
        return false;
    }
    if (text.size() > limit + 1) text.resize(limit + 1);
    return true;
}

bool WebDataFolder::writeGame(const std::string& name, std::string_view text, std::string& error) {
    if (pageKeptWrite(("best/" + name).c_str(), text.data(), text.size()) != 0) return true;
    error = noStore;
    return false;
}

bool WebDataFolder::removeGame(const std::string& name, std::string&) {
    pageKeptRemove(("best/" + name).c_str());
    return true;
}

} // namespace plonta
