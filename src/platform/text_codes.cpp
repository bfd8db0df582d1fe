#include "platform/text_codes.h"

#include <array>

namespace platform {

namespace {

// The Unicode characters of 0x80..0x9F in code page 1252; 0 where unused.
constexpr std::array<unsigned, 32> k1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Every code point of code page 1252 lies below U+10000: three bytes at most.
void AppendUtf8(std::string& out, unsigned codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

unsigned UnicodeOf1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return k1252High[byte - 0x80];
    }
    return byte;
}

std::optional<char> ByteOf1252(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<char>(code);
    }
    for (unsigned byte = 0x80; byte <= 0x9F; ++byte) {
        if (code != 0 && k1252High[byte - 0x80] == code) {
            return static_cast<char>(byte);
        }
    }
    return std::nullopt;
}

std::string Utf8From1252(std::string_view text, Unused1252 unused) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const unsigned code = UnicodeOf1252(byte);
        if (code != 0) {
            AppendUtf8(out, code);
        } else {
            AppendUtf8(out, unused == Unused1252::kControl ? byte : 0xFFFDu);
        }
    }
    return out;
}

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) {
            units += byte >= 0xF0 && byte <= 0xF4 ? 2 : 1;
        }
    }
    return units;
}

bool LooksLikeRtf(std::string_view data) {
    return data.substr(0, 5) == "{\\rtf";
}

}  // namespace platform
