// The program's text as the W calls take it, and back. Every call goes
// through its W form; the program's text is, for now, in the ANSI code page,
// converted exactly as the A calls convert it (up to its first NUL, as a C
// string; a character the code page lacks coming back as the code page's
// default character). Moving the program's text to UTF-8 changes only the
// code page named here.
#pragma once
#include <windows.h>

#include <string>

namespace platform::win32 {

inline constexpr UINT kProgramCodePage = CP_ACP;

inline std::wstring Wide(const std::string& text) {
    const char* start = text.c_str();
    const int length = static_cast<int>(std::char_traits<char>::length(start));
    if (length == 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    const int n = ::MultiByteToWideChar(kProgramCodePage, 0, start, length, wide.data(), length);
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return wide;
}

// The whole of `text`, a NUL in it included, where a call takes a length.
inline std::wstring WideWhole(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    const int n =
        ::MultiByteToWideChar(kProgramCodePage, 0, text.data(), length, wide.data(), length);
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return wide;
}

// `length` characters of `text`, or up to its first NUL when -1.
inline std::string Narrow(const wchar_t* text, int length = -1) {
    if (length < 0) {
        length = static_cast<int>(std::char_traits<wchar_t>::length(text));
    }
    if (length == 0) {
        return {};
    }
    const int bytes =
        ::WideCharToMultiByte(kProgramCodePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    ::WideCharToMultiByte(kProgramCodePage, 0, text, length, narrow.data(), bytes, nullptr,
                          nullptr);
    return narrow;
}

}  // namespace platform::win32
