#include "platform/console.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/win32/last_error.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// Before Windows 8 a console took at most 64 KB in one WriteConsoleW; the
// text goes in pieces well below that, none ending inside a surrogate pair.
constexpr size_t kConsolePiece = 8192;

Win32Error WriteToConsole(HANDLE console, const std::wstring& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t count = std::min(kConsolePiece, text.size() - start);
        if (start + count < text.size() && IS_HIGH_SURROGATE(text[start + count - 1])) {
            --count;
        }
        DWORD written = 0;
        if (!::WriteConsoleW(console, text.data() + start, static_cast<DWORD>(count), &written,
                             nullptr)) {
            return win32::LastErrorOr(ERROR_WRITE_FAULT);
        }
        if (written == 0) {
            return ERROR_WRITE_FAULT;
        }
        start += written;
    }
    return 0;
}

}  // namespace

// A console is known by GetConsoleMode succeeding on the stream's handle:
// it fails for pipes and files. Text written to a console with WriteFile
// (as the C stream would) is read in the console's output code page, not as
// UTF-8; WriteConsoleW takes the characters themselves.
// https://learn.microsoft.com/en-us/windows/console/writeconsole
Win32Error WriteText(std::FILE* stream, std::string_view text) {
    std::fflush(stream);  // what the stream holds goes first
    // A window program (tarnwick.exe) may have no standard streams: no
    // descriptor, which _get_osfhandle must not be given.
    const int fd = _fileno(stream);
    const intptr_t os = fd >= 0 ? _get_osfhandle(fd) : -1;
    HANDLE handle = reinterpret_cast<HANDLE>(os);
    DWORD mode = 0;
    if (os != -1 && handle && ::GetConsoleMode(handle, &mode)) {
        return WriteToConsole(handle, win32::WideWhole(text));
    }
    // A pipe or a file: the bytes, through the stream, which keeps its own
    // text mode (a line feed written as CR LF).
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size() ||
        std::fflush(stream) != 0) {
        return ERROR_WRITE_FAULT;
    }
    return 0;
}

}  // namespace platform
