// An exclusive advisory lock (flock) on a lock file of the state directory,
// for the stand-in's files that are read, changed and replaced whole: the
// writers of one workstation, in any process, take turns. The lock goes with
// the descriptor, so the kernel releases it when its holder is killed, and a
// killed writer never keeps the others waiting.
#pragma once
#include <cstdint>
#include <filesystem>

#include "platform/standin/unique_fd.h"

namespace platform::standin {

class FileLock {
  public:
    // Waits for the lock of `lockFile`, making the file and its folders when
    // they are missing; 0 once it is held, otherwise a Win32 error code.
    uint32_t Acquire(const std::filesystem::path& lockFile);

  private:
    UniqueFd fd_;  // the lock is held while this is open
};

}  // namespace platform::standin
