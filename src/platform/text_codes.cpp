#include "platform/text_codes.h"

#include <array>

namespace platform {

namespace {

// The Unicode characters of 0x80..0x9F in code page 1252; 0 where unused.
constexpr std::array<unsigned, 32> k1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

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

Utf8Char ReadUtf8(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1};
    }
    size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;  // the smallest character of this length: shorter forms are overlong
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        least = 0x10000;
    } else {
        return {};
    }
    if (text.size() - at < length) {
        return {};
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80) {
            return {};
        }
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {};
    }
    return {code, length};
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = ReadUtf8(text, at).length;
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

size_t Utf16Length(std::string_view text) {
    size_t units = 0;
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = ReadUtf8(text, at);
        units += c.code > 0xFFFF ? 2 : 1;
        at += c.length == 0 ? 1 : c.length;
    }
    return units;
}

std::string ValidUtf8(std::string_view text, size_t* replaced) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = ReadUtf8(text, at).length;
        if (length == 0) {
            AppendUtf8(out, kReplacementCharacter);
            if (replaced != nullptr) {
                ++*replaced;
            }
            ++at;
        } else {
            out.append(text, at, length);
            at += length;
        }
    }
    return out;
}

ByteOrderMark MarkOf(std::string_view bytes) {
    for (const ByteOrderMark mark :
         {ByteOrderMark::kUtf8, ByteOrderMark::kUtf16Le, ByteOrderMark::kUtf16Be}) {
        if (bytes.substr(0, MarkBytes(mark).size()) == MarkBytes(mark)) {
            return mark;
        }
    }
    return ByteOrderMark::kNone;
}

std::string_view MarkBytes(ByteOrderMark mark) {
    switch (mark) {
        case ByteOrderMark::kUtf8:
            return "\xEF\xBB\xBF";
        case ByteOrderMark::kUtf16Le:
            return "\xFF\xFE";
        case ByteOrderMark::kUtf16Be:
            return "\xFE\xFF";
        case ByteOrderMark::kNone:
            break;
    }
    return {};
}

bool LooksLikeRtf(std::string_view data) {
    return data.substr(0, 5) == "{\\rtf";
}

}  // namespace platform
