// Test files in UTF-16, as Notepad's "UTF-16 LE" and "UTF-16 BE" save them.
#pragma once
#include <string>
#include <string_view>

#include "platform/text_codes.h"

namespace testsupport {

// UTF-8 text as a UTF-16 file: its byte-order mark, then each character as
// one unit or, beyond U+FFFF, two, in the byte order asked for.
inline std::string Utf16File(std::string_view utf8, bool bigEndian = false) {
    std::string out(platform::MarkBytes(bigEndian ? platform::ByteOrderMark::kUtf16Be
                                                  : platform::ByteOrderMark::kUtf16Le));
    const auto put = [&](char32_t unit) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (size_t at = 0; at < utf8.size();) {
        const platform::Utf8Char c = platform::ReadUtf8(utf8, at);
        at += c.length;
        if (c.code >= 0x10000) {
            put(0xD800 + ((c.code - 0x10000) >> 10));
            put(0xDC00 + ((c.code - 0x10000) & 0x3FF));
        } else {
            put(c.code);
        }
    }
    return out;
}

}  // namespace testsupport
