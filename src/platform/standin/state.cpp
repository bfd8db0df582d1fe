#include "platform/standin/state.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/errors.h"

namespace platform::standin {

std::filesystem::path DefaultStateDir() {
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg != '\0') {
        return std::filesystem::path(xdg) / "tarnwick";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "state" /
           "tarnwick";
}

uint32_t ErrnoToWin32(int error) {
    switch (error) {
        case 0:
            return kErrorSuccess;
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return kErrorAccessDenied;
        case EEXIST:
            return kErrorAlreadyExists;
        case ENOSPC:
        case EDQUOT:
            return kErrorDiskFull;
        case ENAMETOOLONG:
            return kErrorInvalidName;
        default:
            return kErrorWriteFault;
    }
}

uint32_t ReplaceFileAtomically(const std::filesystem::path& target, const std::string& contents) {
    static std::atomic<unsigned> counter{0};
    const auto temp = target.parent_path() /
                      ("." + target.filename().string() + ".tmp" + std::to_string(getpid()) + "-" +
                       std::to_string(counter++));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return ErrnoToWin32(errno);
    }
    size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return ErrnoToWin32(error);
        }
        written += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return ErrnoToWin32(error);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return ErrnoToWin32(error);
    }
    return kErrorSuccess;
}

bool ReadHostFile(const std::filesystem::path& path, std::string* contents) {
    // Only a regular file is read: a FIFO would block the open and a device
    // such as /dev/zero would never end, where Windows has no such file.
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    std::string buffer;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        buffer.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    *contents = std::move(buffer);
    return true;
}

}  // namespace platform::standin
