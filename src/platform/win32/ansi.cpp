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

// Written in the ANSI code page as the W calls write text into an ANSI file
// (WideCharToMultiByte without flags: best-fit letters, else the default
// character), then read back.
std::string Win32Files::AnsiRoundTrip(std::string_view text) {
    const std::wstring wide = WideWhole(text);
    if (wide.empty()) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), bytes, nullptr, nullptr);
    return Utf8FromAnsi(ansi);
}

}  // namespace platform::win32
