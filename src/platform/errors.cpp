#include "platform/errors.h"

#include <ostream>

namespace platform {

std::ostream& operator<<(std::ostream& out, Win32Error error) {
    return out << error.code();
}

}  // namespace platform
