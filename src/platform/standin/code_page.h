// The stand-in workstation's ANSI code page (what GetACP gives on Windows):
// text in it read as UTF-8, the program's own text, and UTF-8 written in it.
// Code page 1252 goes through the program's own table; any other through
// iconv under the name "CP<number>" (glibc knows 1250-1258, 874, 932, 936,
// 949, 950 and more).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform::standin {

// The code page of Windows installations of Western Europe and the
// Americas, which the stand-in has unless identity.ini names another.
inline constexpr unsigned kDefaultCodePage = 1252;

// Whether text can be converted from and to `codePage`.
bool IsKnownCodePage(unsigned codePage);

// `bytes` of `codePage` as UTF-8, as MultiByteToWideChar reads them
// without MB_ERR_INVALID_CHARS (Microsoft Learn, MultiByteToWideChar): the
// text is never refused. In 1252 the five unused bytes become the C1
// control characters of the same number, as Windows reads them; in any
// other code page a byte it cannot read becomes U+FFFD (Windows puts the
// code page's own default character there, which differs between code
// pages) and the rest is read on from the next byte.
std::string Utf8FromCodePage(std::string_view bytes, unsigned codePage);

// UTF-8 `text` in `codePage`, as WideCharToMultiByte writes it without
// flags or a default character of the caller's (Microsoft Learn,
// WideCharToMultiByte: WC_NO_BEST_FIT_CHARS, lpDefaultChar): a character the
// code page lacks becomes its like character where code page 1252's
// best-fit table has one ("L" for "Ł"), else the system's default character
// "?", as does a byte of `text` that is not UTF-8; each is counted in
// `replaced` (when given). Other code pages, through iconv, know no best
// fit: what they lack is "?".
std::string CodePageFromUtf8(std::string_view text, unsigned codePage, size_t* replaced = nullptr);

}  // namespace platform::standin
