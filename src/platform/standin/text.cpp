#include "platform/standin/text.h"

#include <iconv.h>

#include "platform/text_codes.h"

namespace platform::standin {

namespace {

constexpr size_t kMostHexDigits = 8;  // a 32-bit number

}  // namespace

std::string_view TrimLeft(std::string_view text, std::string_view blanks) {
    const size_t first = text.find_first_not_of(blanks);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimRight(std::string_view text, std::string_view blanks) {
    const size_t last = text.find_last_not_of(blanks);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text, std::string_view blanks) {
    return TrimRight(TrimLeft(text, blanks), blanks);
}

std::optional<uint32_t> ParseHex(std::string_view digits) {
    if (digits.empty() || digits.size() > kMostHexDigits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

std::optional<NameValue> SplitNameValue(std::string_view line, std::string_view blanks) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return NameValue{Trim(line.substr(0, eq), blanks), Trim(line.substr(eq + 1), blanks)};
}

std::optional<std::string> Recode(std::string_view bytes, const char* from, const char* to) {
    const iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    // A byte of the single-byte code pages or UTF-8 takes at most four in
    // UTF-16, or three in UTF-8; UTF-16 takes fewer.
    std::string out(4 * bytes.size(), '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* at = out.data();
    size_t outLeft = out.size();
    const size_t result = ::iconv(converter, &in, &inLeft, &at, &outLeft);
    ::iconv_close(converter);
    // A character with no counterpart makes iconv fail (EILSEQ), or, in some
    // implementations, count an inexact conversion: both are refused.
    if (result != 0 || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace platform::standin
