#include "core/strings.h"

namespace core {

std::string Copy(std::string_view text, long long start, long long count) {
    if (start < 1) {
        start = 1;
    }
    const auto length = static_cast<long long>(text.size());
    if (start > length || count <= 0) {
        return {};
    }
    const long long available = length - start + 1;
    return std::string(text.substr(static_cast<size_t>(start - 1),
                                   static_cast<size_t>(count < available ? count : available)));
}

long long Pos(std::string_view needle, std::string_view text) {
    if (needle.empty()) {
        return 0;
    }
    const auto at = text.find(needle);
    return at == std::string_view::npos ? 0 : static_cast<long long>(at) + 1;
}

char UpperAZ(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerAZ(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string UpperAZ(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = UpperAZ(c);
    }
    return result;
}

std::string LowerAZ(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = LowerAZ(c);
    }
    return result;
}

}  // namespace core
