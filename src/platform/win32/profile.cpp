#include "platform/win32/profile.h"

#include <windows.h>

#include "platform/win32/last_error.h"

namespace platform::win32 {

Win32Error Win32Profile::WritePrivateProfileStringA(const std::string& section,
                                                    const std::string& key,
                                                    const std::string& value,
                                                    const std::string& file) {
    // The call leaves an earlier error code in place on some failures (and
    // sets one on success), so the code is cleared first and a failure that
    // gives none is reported as a write fault.
    ::SetLastError(ERROR_SUCCESS);
    if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str())) {
        return LastErrorOr(ERROR_WRITE_FAULT);
    }
    return ERROR_SUCCESS;
}

std::string Win32Profile::PlaceOfFile(const std::string& file) {
    if (file.find_first_of("\\/") != std::string::npos) {
        return file;
    }
    char windows[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return file;
    }
    return std::string(windows, length) + "\\" + file;
}

}  // namespace platform::win32
