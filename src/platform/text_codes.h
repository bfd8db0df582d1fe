// Byte-level text codes both builds share: hexadecimal digits, Windows-1252
// (the ANSI code page of most workstations, and the stand-in's unless told
// otherwise), and the program's UTF-8 text read and written one character
// at a time.
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

// U+FFFD, what a byte of no character reads as.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character whose UTF-8 form starts at `at` in `text`, and the bytes it
// takes; a length of 0 where no valid UTF-8 character starts there (a stray
// or cut-short sequence, an overlong form, a surrogate, beyond U+10FFFF).
struct Utf8Char {
    char32_t code = 0;
    size_t length = 0;
};
Utf8Char ReadUtf8(std::string_view text, size_t at);

// `code` appended in UTF-8.
void AppendUtf8(std::string& out, char32_t code);

// Whether every byte of `text` belongs to a valid UTF-8 character.
bool IsValidUtf8(std::string_view text);

// The UTF-16 code units `text` takes, what the buffer sizes of the W calls
// count: two for a character beyond U+FFFF, one for any other and for each
// byte that is not UTF-8 (it converts to U+FFFD).
size_t Utf16Length(std::string_view text);

// `text` with every byte that is not part of valid UTF-8 replaced by U+FFFD,
// each counted in `replaced` when given.
std::string ValidUtf8(std::string_view text, size_t* replaced = nullptr);

// The byte-order marks a text file may begin with, each naming its
// encoding; kNone for a file without one.
enum class ByteOrderMark { kNone, kUtf8, kUtf16Le, kUtf16Be };

// The mark `bytes` begin with.
ByteOrderMark MarkOf(std::string_view bytes);

// The bytes of `mark`: EF BB BF, FF FE, FE FF, or none.
std::string_view MarkBytes(ByteOrderMark mark);

// True when `data` begins as an RTF document does ("{\rtf"): a news file
// so made names its own code page and is read by the rich-text box itself.
bool LooksLikeRtf(std::string_view data);

// The byte of a character in Windows-1252, or nothing when it has none.
std::optional<char> ByteOf1252(char32_t code);

}  // namespace platform
