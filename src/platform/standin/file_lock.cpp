#include "platform/standin/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/standin/state.h"

namespace platform::standin {

uint32_t FileLock::Acquire(const std::filesystem::path& lockFile) {
    const int flags = O_RDWR | O_CREAT | O_CLOEXEC;
    UniqueFd fd(::open(lockFile.c_str(), flags, 0644));
    if (!fd && errno == ENOENT) {
        std::error_code ec;
        std::filesystem::create_directories(lockFile.parent_path(), ec);
        fd.reset(::open(lockFile.c_str(), flags, 0644));
    }
    if (!fd) {
        return ErrnoToWin32(errno);
    }
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return ErrnoToWin32(errno);
        }
    }
    fd_ = std::move(fd);
    return kErrorSuccess;
}

}  // namespace platform::standin
