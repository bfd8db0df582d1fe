#include "platform/names.h"

#include <cstring>

#include "platform/text_codes.h"

namespace platform {

bool SameAsciiText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool EndsWithSeparator(const std::string& windowsPath) {
    return !windowsPath.empty() && IsPathSeparator(windowsPath.back());
}

bool IsValidNewName(const std::string& windowsPath) {
    size_t start = windowsPath.size();
    while (start > 0 && !IsPathSeparator(windowsPath[start - 1])) {
        --start;
    }
    for (size_t i = start; i < windowsPath.size(); ++i) {
        const auto c = static_cast<unsigned char>(windowsPath[i]);
        if (c < 0x20 || std::strchr("<>\"|?*", c) != nullptr) {
            return false;
        }
    }
    return true;
}

DeviceKind ClassifyDevice(const std::string& name) {
    if (name.empty()) {
        return DeviceKind::kNone;
    }
    const char first = UpperAscii(name[0]);
    if (name.size() == 2 && first >= 'A' && first <= 'Z' && name[1] == ':') {
        return DeviceKind::kDrive;
    }
    std::string upper;
    for (const char c : name) {
        upper += UpperAscii(c);
    }
    if (upper == "PRN") {
        return DeviceKind::kPrinterPort;
    }
    if (upper.size() == 4 && (upper.compare(0, 3, "LPT") == 0 || upper.compare(0, 3, "COM") == 0) &&
        upper[3] >= '1' && upper[3] <= '9') {
        return DeviceKind::kPrinterPort;
    }
    return DeviceKind::kInvalid;
}

bool IsRemoteName(const std::string& name) {
    return name.compare(0, 2, "\\\\") == 0;
}

std::vector<std::string> UncComponents(const std::string& remoteName) {
    if (!IsRemoteName(remoteName)) {
        return {};
    }
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = 2; i <= remoteName.size(); ++i) {
        if (i == remoteName.size() || remoteName[i] == '\\') {
            if (current.empty() || current == "." || current == "..") {
                return {};
            }
            parts.push_back(current);
            current.clear();
        } else if (remoteName[i] == '/') {
            return {};
        } else {
            current += remoteName[i];
        }
    }
    return parts;
}

std::vector<std::string> SubKeyNames(const std::string& subKey) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= subKey.size()) {
        size_t end = subKey.find('\\', start);
        if (end == std::string::npos) {
            end = subKey.size();
        }
        if (end > start) {
            names.push_back(subKey.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

Win32Error SubKeyLengthError(const std::string& subKey) {
    if (Utf16Length(subKey) > kMaxSubKeyLength) {
        return kErrorMoreData;
    }
    for (const std::string& name : SubKeyNames(subKey)) {
        if (Utf16Length(name) > kMaxKeyNameLength) {
            return kErrorMoreData;
        }
    }
    return kErrorSuccess;
}

}  // namespace platform
