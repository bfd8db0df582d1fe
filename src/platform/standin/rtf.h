// A small RTF reader for the stand-in's news box: it keeps the text of a
// document and drops its formatting. Safe against any input: it walks the
// data once without recursion, nesting is tracked on a heap stack of bounded
// depth, and every read is checked against the end of the data.
#pragma once
#include <string>
#include <string_view>

namespace platform::standin {

// True when `data` begins as an RTF document does ("{\rtf").
bool LooksLikeRtf(std::string_view data);

// The text of an RTF document as Windows-1252 bytes: paragraph and line
// breaks (\par, \line, \row, \page, \sect) become CR LF, \tab and \cell a
// tab, \'hh the byte hh, \uN the character N (with \ucN fallbacks skipped;
// '?' where code page 1252 has no such character), the escaped { } \ and
// the special characters (\~, \emdash, \bullet, quotes ...) their bytes.
// Destinations that hold no text (\fonttbl, \colortbl, \stylesheet, \info,
// \pict, headers, footers, any group starting with \* ...) are skipped, and
// so is the data of \binN.
std::string RtfToText(std::string_view data);

// The byte of code page 1252 for a Unicode character, or '?' when there is none.
char UnicodeTo1252(unsigned codePoint);
// The Unicode character of a byte of code page 1252; 0 for the five unused bytes.
unsigned UnicodeOf1252(unsigned char byte);

}  // namespace platform::standin
