// Byte-level text codes both builds share: hexadecimal digits, Windows-1252
// (the ANSI code page of most workstations, and the stand-in's unless told
// otherwise) and the lengths of the program's UTF-8 text.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The value of a hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(char c);

// The Unicode character of a byte of code page 1252; 0 for the five unused
// bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D).
unsigned UnicodeOf1252(unsigned char byte);

// What a byte of no character (an unused one, or NUL) becomes in UTF-8:
// U+FFFD, so a window shows it; or the control character of the same
// number, as Windows converts it.
enum class Unused1252 { kReplacement, kControl };

// Windows-1252 bytes as UTF-8.
std::string Utf8From1252(std::string_view text, Unused1252 unused);

// The length of UTF-8 text in UTF-16 units, as Windows counts the length
// of a name: a character beyond U+FFFF takes two. A byte of no whole
// sequence counts as one, as it converts to one U+FFFD.
size_t Utf16Length(std::string_view utf8);

// True when `data` begins as an RTF document does ("{\rtf"): a news file
// so made names its own code page and is read by the rich-text box itself.
bool LooksLikeRtf(std::string_view data);

// The byte of a character in Windows-1252, or nothing when it has none.
std::optional<char> ByteOf1252(char32_t code);

}  // namespace platform
