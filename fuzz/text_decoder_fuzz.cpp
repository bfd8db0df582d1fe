// Reading any bytes as text: byte-order marks, broken and overlong UTF-8,
// lone surrogates, half a UTF-16 unit. What comes out is always valid
// UTF-8; bytes read as ANSI are the code page's text; decoded text, written
// again as UTF-8 with its mark, reads back as itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/text_decoder.h"
#include "platform/text_codes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const core::DecodedText decoded = core::DecodeText(bytes);
    if (platform::ValidUtf8(decoded.text) != decoded.text) {
        std::abort();
    }
    if (decoded.facts.encoding == core::TextEncoding::kAnsi &&
        decoded.text != platform::Utf8From1252(bytes, platform::Unused1252::kControl)) {
        std::abort();
    }
    if (decoded.text.size() > 3 * bytes.size()) {
        std::abort();  // no byte reads as more than one three-byte character
    }
    const std::string again = "\xEF\xBB\xBF" + decoded.text;
    if (core::DecodeText(again).text != decoded.text) {
        std::abort();
    }
    return 0;
}
