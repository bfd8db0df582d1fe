#include "platform/text_codes.h"

namespace platform {

// The stand-in's ANSI code page is Windows-1252.
std::string AnsiFromUnicode(const std::u32string& text, size_t* replaced) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t code : text) {
        if (const auto byte = ByteOf1252(code)) {
            out += *byte;
        } else {
            out += '?';
            ++*replaced;
        }
    }
    return out;
}

}  // namespace platform
