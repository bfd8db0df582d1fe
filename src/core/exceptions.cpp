#include "core/exceptions.h"

namespace core {

const char* KindName(ExceptionKind kind) {
    switch (kind) {
        case ExceptionKind::kRegistry:
            return "ERegistryException";
        case ExceptionKind::kConvert:
            return "EConvertError";
        case ExceptionKind::kFileOpen:
            return "EFOpenError";
        case ExceptionKind::kStringList:
            return "EStringListError";
        case ExceptionKind::kException:
            break;
    }
    return "Exception";
}

std::string Format(const std::string& pattern, const std::string& argument) {
    const auto at = pattern.find("%s");
    if (at == std::string::npos) {
        return pattern;
    }
    return pattern.substr(0, at) + argument + pattern.substr(at + 2);
}

}  // namespace core
