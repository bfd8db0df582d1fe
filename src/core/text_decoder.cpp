#include "core/text_decoder.h"

#include "platform/text_codes.h"

namespace core {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

// The length of the UTF-8 sequence at `at`, and its code point; 0 when the
// bytes there are no whole, shortest, valid sequence.
size_t Utf8Sequence(std::string_view bytes, size_t at, char32_t* code) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    char32_t value = 0, least = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *code = value;
    return length;
}

// Whether the bytes are UTF-8 throughout, and hold a multi-byte sequence.
void ScanUtf8(std::string_view bytes, bool* valid, bool* multiByte) {
    *valid = true;
    *multiByte = false;
    for (size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        const size_t length = Utf8Sequence(bytes, at, &code);
        if (length == 0) {
            *valid = false;
            ++at;
            continue;
        }
        *multiByte = *multiByte || length > 1;
        at += length;
    }
}

// One code point in UTF-8.
void AppendUtf8(char32_t code, std::string& out) {
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

// The UTF-8 text as it stands, a byte of no whole sequence as U+FFFD.
std::string CleanUtf8(std::string_view bytes, size_t* replaced) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        const size_t length = Utf8Sequence(bytes, at, &code);
        if (length == 0) {
            AppendUtf8(kReplacement, out);
            ++*replaced;
            ++at;
            continue;
        }
        out.append(bytes.substr(at, length));
        at += length;
    }
    return out;
}

std::string Utf8FromUtf16(std::string_view bytes, bool bigEndian, size_t* replaced) {
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    const size_t units = bytes.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        char32_t code = unit(2 * i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units) {
            const char32_t low = unit(2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;  // a lone surrogate
            ++*replaced;
        }
        AppendUtf8(code, out);
    }
    if (bytes.size() % 2 != 0) {
        AppendUtf8(kReplacement, out);  // half a unit
        ++*replaced;
    }
    return out;
}

bool HoldsControls(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r') {
            return true;
        }
    }
    return false;
}

}  // namespace

const char* EncodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::kUtf8:
            return "UTF-8";
        case TextEncoding::kUtf8WithMark:
            return "UTF-8 with a byte-order mark";
        case TextEncoding::kUtf16Le:
            return "UTF-16 LE";
        case TextEncoding::kUtf16Be:
            return "UTF-16 BE";
        case TextEncoding::kAnsi:
            break;
    }
    return "ANSI";
}

DecodedText DecodeText(std::string_view bytes, const AnsiReader& ansi) {
    DecodedText out;
    const auto marked = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    size_t& replaced = out.facts.replaced;
    if (marked(kUtf8Mark)) {
        out.facts.encoding = TextEncoding::kUtf8WithMark;
        out.text = CleanUtf8(bytes.substr(kUtf8Mark.size()), &replaced);
    } else if (marked(kUtf16LeMark)) {
        out.facts.encoding = TextEncoding::kUtf16Le;
        out.text = Utf8FromUtf16(bytes.substr(kUtf16LeMark.size()), false, &replaced);
    } else if (marked(kUtf16BeMark)) {
        out.facts.encoding = TextEncoding::kUtf16Be;
        out.text = Utf8FromUtf16(bytes.substr(kUtf16BeMark.size()), true, &replaced);
    } else {
        bool valid = false, multiByte = false;
        ScanUtf8(bytes, &valid, &multiByte);
        if (valid && multiByte) {
            out.facts.encoding = TextEncoding::kUtf8;
            out.text.assign(bytes);
        } else if (!multiByte && valid) {
            out.text.assign(bytes);  // ASCII reads alike in every code page
        } else {
            out.text = ansi(bytes);
            out.facts.mixed = multiByte;
        }
    }
    out.facts.controls = HoldsControls(out.text);
    return out;
}

std::string ValidUtf8(std::string_view text) {
    size_t replaced = 0;
    return CleanUtf8(text, &replaced);
}

DecodedText DecodeText(std::string_view bytes) {
    return DecodeText(bytes, [](std::string_view ansi) {
        return platform::Utf8From1252(ansi, platform::Unused1252::kControl);
    });
}

}  // namespace core
