#include "platform/standin/state.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/errors.h"

namespace platform::standin {

std::filesystem::path DefaultStateDir() {
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg != '\0') {
        return std::filesystem::path(xdg) / "tarnwick";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "state" / "tarnwick";
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

bool WriteAll(int fd, const std::string& contents) {
    size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            errno = n < 0 ? errno : EIO;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

namespace {

// A rename is on disk once its folder is: a folder that cannot be synced
// (some file systems refuse it) keeps the rename as safe as it makes it.
void SyncDirectory(const std::filesystem::path& directory) {
    const UniqueFd fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) {
        ::fsync(fd.get());
    }
}

}  // namespace

uint32_t ReplaceFileAtomically(const std::filesystem::path& target, const std::string& contents,
                               const Replacement& how) {
    static std::atomic<unsigned> counter{0};
    const auto folder = target.parent_path();
    const auto temp = folder / ("." + target.filename().string() + ".tmp" +
                                std::to_string(getpid()) + "-" + std::to_string(counter++));
    UniqueFd fd(::open(temp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, how.mode));
    if (!fd) {
        return ErrnoToWin32(errno);
    }
    // The data reach the disk before the name does: a rename that survives
    // a power loss never names a file whose blocks were still in memory.
    const bool written = (how.locked == nullptr || ::flock(fd.get(), LOCK_EX) == 0) &&
                         WriteAll(fd.get(), contents) && ::fsync(fd.get()) == 0 &&
                         ::rename(temp.c_str(), target.c_str()) == 0;
    if (!written) {
        const int error = errno;
        ::unlink(temp.c_str());
        return ErrnoToWin32(error);
    }
    SyncDirectory(folder.empty() ? std::filesystem::path(".") : folder);
    if (how.locked != nullptr) {
        *how.locked = std::move(fd);
    }
    return kErrorSuccess;
}

bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without RENAME_NOREPLACE: a link is refused as well
    // when the name is taken.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

bool ReadHostFile(const std::filesystem::path& path, std::string* contents) {
    // Only a regular file is read: a FIFO would block the open and a device
    // such as /dev/zero would never end, where Windows has no such file.
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    std::string buffer;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            break;
        }
        buffer.append(chunk, static_cast<size_t>(n));
    }
    *contents = std::move(buffer);
    return true;
}

}  // namespace platform::standin
