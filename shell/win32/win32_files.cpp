// Windows file calls for recordings.
#include "frontend/system_files.h"

#include <algorithm>

#include "shell/win32/win32_common.h"

namespace plonta {

namespace {

bool isDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class Win32FileSink final : public RecordingSink {
  public:
    Win32FileSink(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}

    bool replaceFrom(std::uint64_t offset, std::string_view text, std::string& error) override {
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN)) return fail(error);
        std::size_t done = 0;
        while (done < text.size()) {
            DWORD wrote = 0;
            if (!WriteFile(file_.get(), text.data() + done, static_cast<DWORD>(text.size() - done),
                           &wrote, nullptr) ||
                wrote == 0)
                return cutBack(position, error);
            done += wrote;
        }
        const std::uint64_t end = offset + text.size();
        if (end < size_ && !SetEndOfFile(file_.get())) return cutBack(position, error);
        size_ = end;
        // On the disk, not only in the cache: a power cut loses at most this line. Devices
        // such as NUL cannot flush, and need not.
        if (!FlushFileBuffers(file_.get()) && GetLastError() != ERROR_INVALID_FUNCTION &&
            GetLastError() != ERROR_INVALID_HANDLE)
            return fail(error);
        return true;
    }

  private:
    static bool fail(std::string& error) {
        error = systemReason(GetLastError());
        return false;
    }

    // A full disk takes part of a line: the file goes back to the line before it.
    bool cutBack(LARGE_INTEGER offset, std::string& error) {
        fail(error);
        if (SetFilePointerEx(file_.get(), offset, nullptr, FILE_BEGIN) && SetEndOfFile(file_.get()))
            size_ = static_cast<std::uint64_t>(offset.QuadPart);
        return false;
    }

    Handle file_;
    std::uint64_t size_;
};

} // namespace

bool SystemFiles::read(const std::string& path, std::size_t limit, std::string& text,
                       std::string& error) {
    const std::wstring name = wide(path);
    if (isDirectory(name)) {
        error = "is a directory";
        return false;
    }
    const Handle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        error = systemReason(GetLastError());
        return false;
    }
    text.clear();
    char buffer[65536];
    while (text.size() <= limit) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min(sizeof buffer, limit + 1 - text.size()));
        if (!ReadFile(file.get(), buffer, wanted, &got, nullptr)) {
            error = systemReason(GetLastError());
            return false;
        }
        if (got == 0) break;
        text.append(buffer, got);
    }
    return true;
}

std::unique_ptr<RecordingSink> SystemFiles::openForRecording(const std::string& path,
                                                             std::string& error) {
    const std::wstring name = wide(path);
    if (isDirectory(name)) {
        error = "is a directory";
        return nullptr;
    }
    // OPEN_ALWAYS, not CREATE_ALWAYS: the file may be the recording being replayed, which must
    // survive a start that fails before play. Others may read it while it grows.
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // The share mode above refuses a second writer: two would interleave their lines.
        const DWORD code = GetLastError();
        error = code == ERROR_SHARING_VIOLATION ? recordingInUse : systemReason(code);
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) size.QuadPart = 0;
    return std::make_unique<Win32FileSink>(file, static_cast<std::uint64_t>(size.QuadPart));
}

} // namespace plonta
