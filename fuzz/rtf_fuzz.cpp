// The news reader on any bytes: RTF or not, deeply nested, cut off, with
// \binN lengths and \uN values of every size, fonts and code pages of every
// kind. Whatever it reads, its text is whole UTF-8 sequences, at most three
// bytes for each byte read.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/standin/rtf.h"

namespace {

bool IsUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80   ? 1
                              : lead < 0xC2 ? 0
                              : lead < 0xE0 ? 2
                              : lead < 0xF0 ? 3
                              : lead < 0xF5 ? 4
                                            : 0;
        if (length == 0 || at + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        at += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)platform::standin::LooksLikeRtf(bytes);
    const std::string text = platform::standin::RtfToText(bytes);
    if (text.size() > 3 * size || !IsUtf8(text)) {
        __builtin_trap();
    }
    return 0;
}
