// The news reader on any bytes: RTF or not, deeply nested, cut off, with
// \binN lengths and \uN values of every size, fonts and code pages of every
// kind. Whatever it reads, its text is whole UTF-8 sequences, at most three
// bytes for each byte read.
#include <iconv.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/standin/rtf.h"
#include "platform/text_codes.h"

namespace {

// Whether `text` is well-formed UTF-8: iconv converts all of it from UTF-8.
bool IsUtf8(std::string text) {
    const iconv_t cd = iconv_open("UTF-8", "UTF-8");
    char* in = text.data();
    size_t inLeft = text.size();
    std::string out(text.size(), '\0');
    char* outAt = out.data();
    size_t outLeft = out.size();
    const bool whole = iconv(cd, &in, &inLeft, &outAt, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    return whole;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)platform::LooksLikeRtf(bytes);
    const std::string text = platform::standin::RtfToText(bytes);
    if (text.size() > 3 * size || !IsUtf8(text)) {
        __builtin_trap();
    }
    return 0;
}
