// The code of a failed Win32 call that returns only a boolean or a null
// handle.
#pragma once
#include <windows.h>

#include <cstdint>

namespace platform::win32 {

// The thread's last error, to be taken at once after the failed call; a
// failure that left none gives `fallback`, so it never reads as success.
inline uint32_t LastErrorOr(uint32_t fallback) {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

}  // namespace platform::win32
