#include <windows.h>

#include "platform/win32/files.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

// The system's ANSI code page (GetACP) read as MultiByteToWideChar reads it,
// then written as the program's text.
std::string Win32Files::Utf8FromAnsi(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    std::wstring wide(bytes.size(), L'\0');
    const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), length);
    return Narrow(wide.data(), n > 0 ? n : 0);
}

}  // namespace platform::win32
