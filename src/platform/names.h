// The rules Windows applies to a name from its text alone: which file names
// can be made, which local device names redirect, what a UNC name holds,
// how long a registry key path may be. The stand-in applies them where it
// carries a call out, and the checker where it tells what a call would do,
// so the two never tell them apart.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/errors.h"

namespace platform {

// "\" and "/" both separate the elements of a Windows path.
inline bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// The upper case of the letters a-z; every other byte as it is.
inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names Windows compares ignoring the case of the letters A-Z, as it does
// the names of its own folders and devices.
bool SameAsciiText(std::string_view a, std::string_view b);

// True when the path ends in "\" or "/", which Windows reads as naming a
// directory: such a name never matches a file.
bool EndsWithSeparator(const std::string& windowsPath);

// False when the last element of the path holds a character that Windows
// allows in no file or folder name (a control character, < > " | ? *), so
// nothing of that name can be created.
bool IsValidNewName(const std::string& windowsPath);

// The local device names Windows redirects: "X:" for a drive; LPT1-LPT9,
// COM1-COM9 and PRN for a printer; the empty name asks for a deviceless
// connection. Letter case does not matter.
enum class DeviceKind { kNone, kDrive, kPrinterPort, kInvalid };
DeviceKind ClassifyDevice(const std::string& localName);

// A name that begins with "\\" names a network resource.
bool IsRemoteName(const std::string& name);

// The components of a UNC name after its leading "\\"; empty when the name
// is malformed (not UNC, an empty component, "." or "..", or a "/", which
// no server or share name may hold).
std::vector<std::string> UncComponents(const std::string& remoteName);

// The longest key name Windows stores; a longer one is refused. Lengths
// count UTF-16 units, as Windows stores names.
inline constexpr size_t kMaxKeyNameLength = 255;
// The longest sub-key path the program takes. The ANSI calls it was first
// written against convert a path into the thread's static Unicode buffer
// of MAX_PATH + 1 characters, and a longer path does not fit
// (ERROR_MORE_DATA, measured under Wine, whatever the names in it). The W
// calls would take more; the program keeps the old limit so that a share
// written for it behaves as it always did. Both limits answer 234; the
// contract test pins it.
inline constexpr size_t kMaxSubKeyLength = 260;

// The names of a sub-key path. Windows reads runs of backslashes as one and
// ignores one at the end ("a\\b\" is "a\b").
std::vector<std::string> SubKeyNames(const std::string& subKey);

// 0, or ERROR_MORE_DATA for a sub-key path or a name in it that is longer
// than Windows takes.
Win32Error SubKeyLengthError(const std::string& subKey);

}  // namespace platform
