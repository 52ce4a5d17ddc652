// Win32 calls for the data folder.
#include "shell/win32/win32_data_folder.h"

#include <shlobj.h>

#include "frontend/system_files.h"
#include "shell/win32/win32_common.h"

namespace plonta {

namespace {

bool fail(std::string& error) {
    error = systemReason(GetLastError());
    return false;
}

bool missing(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// FOLDERID_RoamingAppData through SHELL32 loaded when asked: the program imports only what
// every Windows has loaded anyway, and a start without the data folder costs nothing.
std::wstring roamingAppData() {
    using GetKnownFolder = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    using FreeMemory = void(WINAPI*)(LPVOID);
    const HMODULE shell = LoadLibraryW(L"shell32.dll");
    const HMODULE ole = LoadLibraryW(L"ole32.dll");
    std::wstring folder;
    if (shell != nullptr && ole != nullptr) {
        const auto getFolder = reinterpret_cast<GetKnownFolder>(
            reinterpret_cast<void*>(GetProcAddress(shell, "SHGetKnownFolderPath")));
        const auto freeMemory = reinterpret_cast<FreeMemory>(
            reinterpret_cast<void*>(GetProcAddress(ole, "CoTaskMemFree")));
        PWSTR path = nullptr;
        if (getFolder != nullptr && freeMemory != nullptr &&
            SUCCEEDED(getFolder(FOLDERID_RoamingAppData, 0, nullptr, &path)))
            folder = path;
        if (path != nullptr && freeMemory != nullptr) freeMemory(path);
    }
    if (ole != nullptr) FreeLibrary(ole);
    if (shell != nullptr) FreeLibrary(shell);
    return folder;
}

bool makeFolder(const std::wstring& path, std::string& error) {
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return fail(error);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return fail(error);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = narrow(path.c_str()) + " is not a folder";
        return false;
    }
    return true;
}

// Written beside the file, flushed, then moved over it with write-through: the file is the old
// one or the new one whole, whatever stops the program.
bool writeWhole(const std::wstring& folder, const std::string& name, std::string_view text,
                std::string& error) {
    const std::wstring path = folder + L"\\" + wide(name);
    const std::wstring temporary =
        folder + L"\\." + wide(name) + L".tmp-" + std::to_wstring(GetCurrentProcessId());
    bool written = false;
    {
        const Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return fail(error);
        DWORD wrote = 0;
        written =
            WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) &&
            wrote == text.size() && FlushFileBuffers(file.get());
        if (!written) fail(error);
    }
    if (written && MoveFileExW(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (written) fail(error);
    DeleteFileW(temporary.c_str());
    return false;
}

} // namespace

Win32DataFolder::Win32DataFolder() {
    const std::wstring appData = roamingAppData();
    if (!appData.empty()) root_ = appData + L"\\Plonta";
}

bool Win32DataFolder::readSettings(std::string& text, std::string& error) {
    text.clear();
    if (root_.empty()) return true;
    const std::wstring path = root_ + L"\\settings.txt";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && missing(GetLastError()))
        return true;
    SystemFiles files;
    // Settings are a few lines; a huge file is no settings file of ours.
    constexpr std::size_t limit = 65536;
    if (!files.read(narrow(path.c_str()), limit, text, error)) return false;
    if (text.size() > limit) {
        error = narrow(path.c_str()) + " is too large to be settings";
        return false;
    }
    return true;
}

bool Win32DataFolder::writeSettings(std::string_view text, std::string& error) {
    if (root_.empty()) {
        error = "the system names no application data folder";
        return false;
    }
    return makeFolder(root_, error) && writeWhole(root_, settingsFileName, text, error);
}

bool Win32DataFolder::listGames(std::vector<KeptFile>& files, std::string& error) {
    files.clear();
    if (root_.empty()) return true;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((gamesFolder() + L"\\*.sim").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return missing(GetLastError()) || fail(error);
    do {
        const std::string name = narrow(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name.empty() ||
            name[0] == '.')
            continue;
        // FILETIME counts 100 ns from 1601.
        const std::uint64_t written =
            (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
            found.ftLastWriteTime.dwLowDateTime;
        const std::int64_t unixSeconds =
            static_cast<std::int64_t>(written / 10'000'000) - 11'644'473'600;
        const std::uint64_t size =
            (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        files.push_back({name, unixSeconds, size});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

bool Win32DataFolder::readGame(const std::string& name, std::size_t limit, std::string& text,
                               std::string& error) {
    SystemFiles files;
    return files.read(gamePath(name), limit, text, error);
}

bool Win32DataFolder::writeGame(const std::string& name, std::string_view text,
                                std::string& error) {
    if (root_.empty()) {
        error = "the system names no application data folder";
        return false;
    }
    return makeFolder(root_, error) && makeFolder(gamesFolder(), error) &&
           writeWhole(gamesFolder(), name, text, error);
}

bool Win32DataFolder::removeGame(const std::string& name, std::string& error) {
    return DeleteFileW(wide(gamePath(name)).c_str()) || missing(GetLastError()) || fail(error);
}

std::string Win32DataFolder::gamePath(const std::string& name) const {
    return narrow(gamesFolder().c_str()) + "\\" + name;
}

} // namespace plonta
