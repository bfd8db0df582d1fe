#include "platform/refusing.h"

namespace platform {

namespace {
char FoldAZ(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
}  // namespace

RefusingServices& RefusingServices::Instance() {
    static RefusingServices services;
    return services;
}

bool RefusingSystem::SameTextIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAZ(a[i]) != FoldAZ(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace platform
