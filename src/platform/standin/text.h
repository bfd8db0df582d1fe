// Small text helpers the stand-in's file readers share: blanks trimmed,
// hexadecimal digits read, "name=value" lines split, text recoded.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_codes.h"

namespace platform::standin {

// Spaces and tabs: the blanks around names and values. A reader that also
// drops line ends or other control characters passes its own set.
inline constexpr std::string_view kBlanks = " \t";

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

// One iconv conversion from the encoding `from` to `to` (iconv's names:
// "CP1252", "UTF-16LE"), closed when it goes.
class Iconv {
  public:
    Iconv(const std::string& to, const std::string& from);
    ~Iconv();
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Whether iconv knows both encodings.
    bool ok() const;

    // Converts `in` as far as it can, appending to `out`; false where it
    // stopped at an input it cannot convert (what is left starts there).
    bool Run(std::string_view* in, std::string& out);

    // The characters converted inexactly so far, as some implementations
    // count them.
    size_t inexact() const { return inexact_; }

  private:
    void* cd_;
    size_t inexact_ = 0;
};

// `bytes` in the encoding `to`, or nothing when any of it cannot be read as
// `from` or written as `to`: a conversion never drops or replaces a
// character.
std::optional<std::string> Recode(std::string_view bytes, const char* from, const char* to);

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
