// Reading any bytes as text: byte-order marks, broken and overlong UTF-8,
// lone surrogates, half a UTF-16 unit. Bytes read as ANSI come back exactly
// as they were; decoded text, written again as UTF-8 with its mark, reads
// back as itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/text_decoder.h"
#include "platform/text_codes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const core::DecodedText decoded = core::DecodeText(bytes);
    if (decoded.facts.encoding == core::TextEncoding::kAnsi && decoded.text != bytes) {
        std::abort();
    }
    if (decoded.text.size() > bytes.size()) {
        std::abort();  // no character reads as more than one byte
    }
    // The five bytes that Windows-1252 leaves unused have no character to
    // write back.
    if (decoded.text.find_first_of("\x81\x8D\x8F\x90\x9D") == std::string::npos) {
        const std::string again =
            "\xEF\xBB\xBF" + platform::Utf8From1252(decoded.text, platform::Unused1252::kControl);
        if (core::DecodeText(again).text != decoded.text) {
            std::abort();
        }
    }
    return 0;
}
