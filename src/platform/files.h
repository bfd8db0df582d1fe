// File-system calls of the system, in the operating system's terms.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/errors.h"
#include "platform/text_codes.h"

namespace platform {

inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr uint32_t kFileAttributeDirectory = 0x10u;

// A local date and time to the second (two-second resolution where the
// platform's file times are read as the system reads them).
struct FileTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Files {
  public:
    virtual ~Files() = default;
    // Reads the whole file, opened for reading only. 0 or a Win32 error code
    // (a directory cannot be read as a file).
    virtual Win32Error ReadWholeFile(const std::string& path, std::string* contents) = 0;
    // FindFirstFileW followed by FindClose: 0 when an entry exists for the
    // name, with whether that entry is a directory; otherwise the error code.
    virtual Win32Error FindFirst(const std::string& path, bool* isDirectory) = 0;
    // CopyFileW: 0 or the error code.
    virtual Win32Error CopyFileW(const std::string& existing, const std::string& target,
                                 bool failIfExists) = 0;
    // GetFileAttributesW: the attributes, or kInvalidFileAttributes.
    virtual uint32_t GetFileAttributesW(const std::string& path) = 0;
    // CreateDirectoryW without security attributes: 0 or the error code.
    virtual Win32Error CreateDirectoryW(const std::string& path) = 0;
    // The file's last-modification time in local time: 0 or the error code.
    virtual Win32Error GetLastWriteTime(const std::string& path, FileTime* time) = 0;
    // Text in the system's ANSI code page as UTF-8, the program's own text:
    // how a file without a byte-order mark that is not UTF-8 reads. Windows
    // converts from GetACP's code page; the stand-in from the code page of
    // its workstation. Windows-1252 unless a platform says otherwise.
    virtual std::string Utf8FromAnsi(std::string_view bytes) {
        return Utf8From1252(bytes, Unused1252::kControl);
    }
    // UTF-8 text as the ANSI code page holds it: written in it as
    // WideCharToMultiByte writes it (a letter it lacks as a like one, or
    // "?") and read back. What an INI file of the code page will hold. A
    // platform that tells no code page keeps every letter.
    virtual std::string AnsiRoundTrip(std::string_view text) { return std::string(text); }
};

}  // namespace platform
