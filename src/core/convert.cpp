#include "core/convert.h"

#include "core/exceptions.h"
#include "platform/text_codes.h"

namespace core {

namespace {

constexpr const char* kNotAnInteger = "'%s' is not a valid integer value";

}  // namespace

int32_t StrToInt(const std::string& text) {
    const auto fail = [&text]() { return EConvertError(Format(kNotAnInteger, text)); };
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    if (at < text.size() && text[at] == '$') {
        ++at;
        if (at == text.size()) {
            throw fail();
        }
        uint32_t value = 0;
        for (; at < text.size(); ++at) {
            const int digit = platform::HexDigitValue(text[at]);
            if (digit < 0 || value > 0x0FFFFFFFu) {
                throw fail();
            }
            value = value * 16 + static_cast<uint32_t>(digit);
        }
        return static_cast<int32_t>(value);
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at == text.size()) {
        throw fail();
    }
    // The magnitude may reach 2147483648 only for a negative number.
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c < '0' || c > '9') {
            throw fail();
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            throw fail();
        }
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace core
