#include <windows.h>

#include "platform/win32/files.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

// The system's ANSI code page (GetACP) read as MultiByteToWideChar reads it,
// then written as the program's text.
std::string Win32Files::Utf8FromAnsi(std::string_view bytes) {
    const std::wstring wide = WideWhole(bytes, CP_ACP);
    return Narrow(wide.data(), static_cast<int>(wide.size()));
}

// Written in the ANSI code page as the W calls write text into an ANSI file
// (WideCharToMultiByte without flags: best-fit letters, else the default
// character), then read back.
std::string Win32Files::AnsiRoundTrip(std::string_view text) {
    const std::wstring wide = WideWhole(text);
    return Utf8FromAnsi(Narrow(wide.data(), static_cast<int>(wide.size()), CP_ACP));
}

}  // namespace platform::win32
