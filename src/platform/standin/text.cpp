#include "platform/standin/text.h"

#include <iconv.h>

#include <cerrno>

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

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

Iconv::Iconv(const std::string& to, const std::string& from)
    : cd_(::iconv_open(to.c_str(), from.c_str())) {}

Iconv::~Iconv() {
    if (ok()) {
        ::iconv_close(static_cast<iconv_t>(cd_));
    }
}

bool Iconv::ok() const {
    return static_cast<iconv_t>(cd_) != kNoConverter;
}

bool Iconv::Run(std::string_view* in, std::string& out) {
    char buffer[256];
    while (!in->empty()) {
        char* from = const_cast<char*>(in->data());
        size_t fromLeft = in->size();
        char* to = buffer;
        size_t toLeft = sizeof buffer;
        const size_t result = ::iconv(static_cast<iconv_t>(cd_), &from, &fromLeft, &to, &toLeft);
        const int error = errno;
        out.append(buffer, sizeof buffer - toLeft);
        in->remove_prefix(in->size() - fromLeft);
        if (result == static_cast<size_t>(-1)) {
            if (error != E2BIG) {
                // A fresh shift state for what follows.
                ::iconv(static_cast<iconv_t>(cd_), nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        } else {
            inexact_ += result;
        }
    }
    return true;
}

std::optional<std::string> Recode(std::string_view bytes, const char* from, const char* to) {
    Iconv converter(to, from);
    std::string out;
    out.reserve(2 * bytes.size());
    // A character with no counterpart makes iconv fail (EILSEQ), or, in some
    // implementations, count an inexact conversion: both are refused.
    if (!converter.ok() || !converter.Run(&bytes, out) || converter.inexact() != 0) {
        return std::nullopt;
    }
    return out;
}

}  // namespace platform::standin
