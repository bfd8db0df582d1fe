#include "core/text_decoder.h"

#include "platform/text_codes.h"

namespace core {

namespace {

// Whether the bytes are UTF-8 throughout, and hold a multi-byte sequence.
void ScanUtf8(std::string_view bytes, bool* valid, bool* multiByte) {
    *valid = true;
    *multiByte = false;
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = platform::ReadUtf8(bytes, at).length;
        if (length == 0) {
            *valid = false;
            ++at;
            continue;
        }
        *multiByte = *multiByte || length > 1;
        at += length;
    }
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
            code = platform::kReplacementCharacter;  // a lone surrogate
            ++*replaced;
        }
        platform::AppendUtf8(out, code);
    }
    if (bytes.size() % 2 != 0) {
        platform::AppendUtf8(out, platform::kReplacementCharacter);  // half a unit
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
    using platform::ByteOrderMark;
    DecodedText out;
    size_t& replaced = out.facts.replaced;
    const ByteOrderMark mark = platform::MarkOf(bytes);
    const std::string_view text = bytes.substr(platform::MarkBytes(mark).size());
    if (mark == ByteOrderMark::kUtf8) {
        out.facts.encoding = TextEncoding::kUtf8WithMark;
        out.text = platform::ValidUtf8(text, &replaced);
    } else if (mark == ByteOrderMark::kUtf16Le) {
        out.facts.encoding = TextEncoding::kUtf16Le;
        out.text = Utf8FromUtf16(text, false, &replaced);
    } else if (mark == ByteOrderMark::kUtf16Be) {
        out.facts.encoding = TextEncoding::kUtf16Be;
        out.text = Utf8FromUtf16(text, true, &replaced);
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

DecodedText DecodeText(std::string_view bytes) {
    return DecodeText(bytes, [](std::string_view ansi) {
        return platform::Utf8From1252(ansi, platform::Unused1252::kControl);
    });
}

}  // namespace core
