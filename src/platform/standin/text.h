// Small text helpers the stand-in's file readers share: blanks trimmed,
// hexadecimal digits read, "name=value" lines split, text recoded, UTF-8
// read and written one character at a time.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::standin {

// Spaces and tabs: the blanks around names and values. A reader that also
// drops line ends or other control characters passes its own set.
inline constexpr std::string_view kBlanks = " \t";

// U+FFFD, what a byte of no character reads as.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

std::string_view TrimLeft(std::string_view text, std::string_view blanks = kBlanks);
std::string_view TrimRight(std::string_view text, std::string_view blanks = kBlanks);
std::string_view Trim(std::string_view text, std::string_view blanks = kBlanks);

// The number that one to eight hexadecimal digits (either case) write;
// nothing for any other text.
std::optional<uint32_t> ParseHex(std::string_view digits);

// A line split at its first "=", the blanks around the name and the value
// dropped; nothing for a line without "=".
struct NameValue {
    std::string_view name;
    std::string_view value;
};
std::optional<NameValue> SplitNameValue(std::string_view line, std::string_view blanks = kBlanks);

// `bytes` in the encoding `to` (iconv's names: "CP1252", "UTF-16LE"), or
// nothing when any of it cannot be read as `from` or written as `to`: a
// conversion never drops or replaces a character.
std::optional<std::string> Recode(std::string_view bytes, const char* from, const char* to);

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

// `text` with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// Calls `each` with every line of `text`: the lines end at LF, one CR just
// before it is dropped, and a last line without an LF counts too.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        each(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

}  // namespace platform::standin
