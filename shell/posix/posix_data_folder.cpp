// POSIX calls for the data folder.
#include "shell/posix/posix_data_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "frontend/system_files.h"

namespace plonta {

namespace {

bool fail(std::string& error) {
    error = std::strerror(errno);
    return false;
}

// path and the folders above it, as far as they are missing.
bool makeFolders(const std::string& path, std::string& error) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return fail(error);
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return fail(error);
    if (!S_ISDIR(info.st_mode)) {
        error = path + " is not a folder";
        return false;
    }
    return true;
}

// Written beside the file, on the disk, then renamed over it: the file is either the old one or
// the new one whole, whatever stops the program, and two programs never mix their writes.
bool writeWhole(const std::string& folder, const std::string& name, std::string_view text,
                std::string& error) {
    if (!makeFolders(folder, error)) return false;
    const std::string path = folder + "/" + name;
    const std::string temporary = folder + "/." + name + ".tmp-" + std::to_string(getpid());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return fail(error);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) break;
        done += static_cast<std::size_t>(wrote);
    }
    const bool written = done == text.size() && fsync(fd) == 0;
    if (!written) fail(error);
    if (close(fd) != 0 && written) fail(error);
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        if (error.empty()) fail(error);
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself on the disk.
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

} // namespace

std::string xdgDataFolder() {
    // A relative XDG_DATA_HOME is to be ignored, as an unset one is.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::string(data) + "/plonta";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/share/plonta";
    return {};
}

bool PosixDataFolder::readSettings(std::string& text, std::string& error) {
    text.clear();
    if (root_.empty()) return true;
    const std::string path = root_ + "/" + settingsFileName;
    if (access(path.c_str(), F_OK) != 0 && errno == ENOENT) return true;
    SystemFiles files;
    // Settings are a few lines; a huge file is no settings file of ours.
    constexpr std::size_t limit = 65536;
    if (!files.read(path, limit, text, error)) return false;
    if (text.size() > limit) {
        error = path + " is too large to be settings";
        return false;
    }
    return true;
}

bool PosixDataFolder::writeSettings(std::string_view text, std::string& error) {
    if (root_.empty()) {
        error = "no home folder";
        return false;
    }
    return writeWhole(root_, settingsFileName, text, error);
}

bool PosixDataFolder::listGames(std::vector<KeptFile>& files, std::string& error) {
    files.clear();
    if (root_.empty()) return true;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(gamesFolder().c_str()), closedir);
    if (!dir) return errno == ENOENT ? true : fail(error);
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.size() < 5 || name[0] == '.' || name.substr(name.size() - 4) != ".sim") continue;
        struct stat info {};
        if (stat(gamePath(name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        files.push_back({name, static_cast<std::int64_t>(info.st_mtime),
                         static_cast<std::uint64_t>(info.st_size)});
    }
    return true;
}

bool PosixDataFolder::readGame(const std::string& name, std::size_t limit, std::string& text,
                               std::string& error) {
    SystemFiles files;
    return files.read(gamePath(name), limit, text, error);
}

bool PosixDataFolder::writeGame(const std::string& name, std::string_view text,
                                std::string& error) {
    if (root_.empty()) {
        error = "no home folder";
        return false;
    }
    return writeWhole(gamesFolder(), name, text, error);
}

bool PosixDataFolder::removeGame(const std::string& name, std::string& error) {
    return unlink(gamePath(name).c_str()) == 0 || errno == ENOENT || fail(error);
}

std::string PosixDataFolder::gamePath(const std::string& name) const {
    return gamesFolder() + "/" + name;
}

} // namespace plonta
