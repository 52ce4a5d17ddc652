// POSIX file calls for recordings.
#include "frontend/system_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace plonta {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

class PosixFileSink final : public RecordingSink {
  public:
    PosixFileSink(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    bool replaceFrom(std::uint64_t offset, std::string_view text, std::string& error) override {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t wrote = pwrite(fd_.get(), text.data() + done, text.size() - done,
                                         static_cast<off_t>(offset + done));
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) return cutBack(offset, error);
            done += static_cast<std::size_t>(wrote);
        }
        const std::uint64_t end = offset + text.size();
        if (end < size_ && ftruncate(fd_.get(), static_cast<off_t>(end)) != 0)
            return cutBack(offset, error);
        size_ = end;
        // On the disk, not only in the page cache: a power cut loses at most this line.
        // Devices and pipes cannot sync, and need not.
        if (fdatasync(fd_.get()) != 0 && errno != EINVAL && errno != EROFS) return fail(error);
        return true;
    }

  private:
    static bool fail(std::string& error) {
        error = errno != 0 ? std::strerror(errno) : "nothing written";
        return false;
    }

    // A full disk takes part of a line: the file goes back to the line before it.
    bool cutBack(std::uint64_t offset, std::string& error) {
        fail(error);
        if (ftruncate(fd_.get(), static_cast<off_t>(offset)) == 0) size_ = offset;
        return false;
    }

    FileDescriptor fd_;
    std::uint64_t size_;
};

} // namespace

bool SystemFiles::read(const std::string& path, std::size_t limit, std::string& text,
                       std::string& error) {
    const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || fstat(fd.get(), &info) != 0) {
        error = std::strerror(errno);
        return false;
    }
    // Some systems read a directory as an empty file.
    if (S_ISDIR(info.st_mode)) {
        error = std::strerror(EISDIR);
        return false;
    }
    text.clear();
    char buffer[65536];
    while (text.size() <= limit) {
        const ssize_t got =
            ::read(fd.get(), buffer, std::min(sizeof buffer, limit + 1 - text.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

std::unique_ptr<RecordingSink> SystemFiles::openForRecording(const std::string& path,
                                                             std::string& error) {
    // No O_TRUNC: the file may be the recording being replayed, which must survive a start
    // that fails before play.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = std::strerror(errno);
        if (fd >= 0) close(fd);
        return nullptr;
    }
    // Two programs writing one file would interleave their lines. A file system without locks
    // records unguarded; devices such as /dev/null take any number of writers.
    if (S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        error = recordingInUse;
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFileSink>(fd, static_cast<std::uint64_t>(info.st_size));
}

} // namespace plonta
