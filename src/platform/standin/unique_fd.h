// A move-only owner of a POSIX file descriptor (platform/unique_handle.h):
// closed exactly once.
#pragma once
#include <unistd.h>

#include "platform/unique_handle.h"

namespace platform::standin {

struct FdTraits {
    static constexpr int Invalid() { return -1; }
    static void Close(int fd) { ::close(fd); }
};
using UniqueFd = UniqueHandle<int, FdTraits>;

}  // namespace platform::standin
