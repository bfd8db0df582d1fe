#include "platform/standin/case_fold.h"

namespace platform::standin {

unsigned char FoldCase1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<unsigned char>(c - 'a' + 'A');
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<unsigned char>(c - 0x20);
    }
    switch (c) {
        case 0x9A:
            return 0x8A;
        case 0x9C:
            return 0x8C;
        case 0x9E:
            return 0x8E;
        case 0xFF:
            return 0x9F;
        default:
            return c;
    }
}

std::string FoldCase1252(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(FoldCase1252(static_cast<unsigned char>(c)));
    }
    return result;
}

bool SameText1252(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase1252(static_cast<unsigned char>(a[i])) !=
            FoldCase1252(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace platform::standin
