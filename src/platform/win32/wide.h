// The program's text as the W calls take it, and back. Every call goes
// through its W form, and the program's text is UTF-8 throughout, so any
// character a name, path or value may hold crosses whole. A conversion
// takes text up to its first NUL, as a C string, unless it is given a length.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

inline constexpr UINT kProgramCodePage = CP_UTF8;

// The whole of `text`, a NUL in it included, where a call takes a length;
// text of another code page (the ANSI one, CP_ACP) when one is named.
inline std::wstring WideWhole(std::string_view text, UINT codePage = kProgramCodePage) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), length);
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return wide;
}

// `text` up to its first NUL, as a C string.
inline std::wstring Wide(const std::string& text) {
    return WideWhole(std::string_view(text.c_str()));
}

// `length` characters of `text`, or up to its first NUL when -1. A lone
// surrogate becomes U+FFFD. In another code page (the ANSI one, CP_ACP)
// when one is named, written as WideCharToMultiByte writes it without
// flags: a character the code page lacks as a like one or as "?".
inline std::string Narrow(const wchar_t* text, int length = -1, UINT codePage = kProgramCodePage) {
    if (length < 0) {
        length = static_cast<int>(std::char_traits<wchar_t>::length(text));
    }
    if (length == 0) {
        return {};
    }
    const int bytes =
        ::WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    ::WideCharToMultiByte(codePage, 0, text, length, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

}  // namespace platform::win32
