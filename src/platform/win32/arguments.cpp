#include "platform/arguments.h"

namespace platform {

// The Windows program takes no arguments and ignores any it is given.
std::optional<int> HandleProgramArguments(int, const char* const*) {
    return std::nullopt;
}

}  // namespace platform
