#include "platform/win32/profile.h"

#include <windows.h>

#include "platform/win32/last_error.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

Win32Error Win32Profile::WritePrivateProfileStringW(const std::string& section,
                                                    const std::string& key,
                                                    const std::string& value,
                                                    const std::string& file) {
    // The call leaves an earlier error code in place on some failures (and
    // sets one on success), so the code is cleared first and a failure that
    // gives none is reported as a write fault.
    ::SetLastError(ERROR_SUCCESS);
    if (!::WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                      Wide(file).c_str())) {
        return LastErrorOr(ERROR_WRITE_FAULT);
    }
    return ERROR_SUCCESS;
}

std::string Win32Profile::PlaceOfFile(const std::string& file) {
    if (file.find_first_of("\\/") != std::string::npos) {
        return file;
    }
    wchar_t windows[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return file;
    }
    return Narrow(windows, static_cast<int>(length)) + "\\" + file;
}

}  // namespace platform::win32
