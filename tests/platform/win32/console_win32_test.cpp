// Text for a pipe goes as its bytes; text for a console as its characters.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/console.h"
#include "platform/errors.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace {

using platform::win32::UniqueFile;

// Names of three scripts, as the program holds them once its text is UTF-8.
constexpr const char* kNames =
    "\xC5\x81ukasz \xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7 \xE6\x9D\xB1\xE4\xBA\xAC";

// A C stream over `handle`, which it owns from then on; `mode` as _fdopen's.
std::FILE* StreamOver(HANDLE handle, int flags, const char* mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    return fd == -1 ? nullptr : _fdopen(fd, mode);
}

// What comes out of the read end of a pipe until its write end is closed.
std::string Drain(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

// A report piped on to another program (tarnwick-check --json | ...): the
// bytes as they are, through the stream's own mode, as the program wrote
// them before (a text-mode stream's line feed becoming CR LF).
TEST(Win32ConsoleTest, TextForAPipeGoesAsItsBytesThroughTheStreamsMode) {
    const struct {
        const char* what;
        int flags;
        const char* mode;
        std::string text;
        std::string arrives;
    } cases[] = {
        {"binary", _O_WRONLY | _O_BINARY, "wb", std::string(kNames) + "\n",
         std::string(kNames) + "\n"},
        {"text mode", _O_WRONLY | _O_TEXT, "w", "a\nb\n", "a\r\nb\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        ASSERT_TRUE(::CreatePipe(&read, &write, nullptr, 1 << 16));
        const UniqueFile readEnd(read);
        std::FILE* stream = StreamOver(write, c.flags, c.mode);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(platform::WriteText(stream, c.text), platform::kErrorSuccess);
        std::fclose(stream);  // closes the write end
        EXPECT_EQ(Drain(readEnd.get()), c.arrives);
    }
}

// A console shows characters whatever its code page: the text reaches its
// cells as UTF-16, a character beyond the Basic Multilingual Plane as its
// surrogate pair.
TEST(Win32ConsoleTest, TextForAConsoleReachesItsCellsAsCharacters) {
    // A screen buffer of the console the process has, or of one made for it.
    const auto newBuffer = [] {
        return ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           CONSOLE_TEXTMODE_BUFFER, nullptr);
    };
    HANDLE buffer = newBuffer();
    if (buffer == INVALID_HANDLE_VALUE) {
        // Attached to none that can hold one (Wine's for a program started
        // from a pipe): a console of its own instead.
        ::FreeConsole();
        if (::AllocConsole()) {
            buffer = newBuffer();
        }
    }
    if (buffer == INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "no console (error " << ::GetLastError() << ")";
    }
    std::FILE* stream = StreamOver(buffer, _O_WRONLY | _O_BINARY, "wb");
    ASSERT_NE(stream, nullptr);
    // The console's code page is one that lacks these letters.
    ::SetConsoleOutputCP(1252);
    EXPECT_EQ(platform::WriteText(stream, std::string(kNames) + " \xF0\x9D\x84\x9E"),
              platform::kErrorSuccess);
    const std::wstring expected =
        L"\u0141ukasz \u0395\u03bb\u03ad\u03bd\u03b7 \u6771\u4eac \U0001D11E";
    std::wstring cells(expected.size() + 4, L'\0');
    DWORD read = 0;
    ASSERT_TRUE(::ReadConsoleOutputCharacterW(
        buffer, cells.data(), static_cast<DWORD>(cells.size()), COORD{0, 0}, &read));
    cells.resize(read);
    EXPECT_EQ(cells.substr(0, expected.size()), expected);
    std::fclose(stream);
}

}  // namespace
