// The news reader on any bytes: RTF or not, deeply nested, cut off, with
// \binN lengths and \uN values of every size.
#include <cstdint>
#include <string_view>

#include "platform/standin/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)platform::standin::LooksLikeRtf(bytes);
    (void)platform::standin::RtfToText(bytes);
    return 0;
}
