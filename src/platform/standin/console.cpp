#include "platform/console.h"

namespace platform {

// A Linux terminal takes the bytes of UTF-8 text as they are, as do pipes
// and files.
Win32Error WriteText(std::FILE* stream, std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size() ||
        std::fflush(stream) != 0) {
        return kErrorWriteFault;
    }
    return kErrorSuccess;
}

}  // namespace platform
