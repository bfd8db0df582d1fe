// Byte-level text codes both builds share: hexadecimal digits, and the
// program's single-byte text (Windows-1252) in UTF-8.
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

// Unicode characters in the program's single-byte text: the ANSI code page
// of Windows (GetACP), Windows-1252 on the stand-in. A character the code
// page lacks becomes "?", as Windows' own conversion makes it, and is
// counted in `replaced`.
std::string AnsiFromUnicode(const std::u32string& text, size_t* replaced);

// The byte of a character in Windows-1252, or nothing when it has none.
std::optional<char> ByteOf1252(char32_t code);

}  // namespace platform
