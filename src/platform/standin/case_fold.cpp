#include "platform/standin/case_fold.h"

#include <locale.h>
#include <wctype.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/names.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace {

constexpr const char* kFoldingLocale = "C.UTF-8";

// The locale whose character tables fold; none when the C library has no
// UTF-8 locale, told once.
locale_t FoldingLocale() {
    static const locale_t locale = [] {
        const locale_t made = ::newlocale(LC_CTYPE_MASK, kFoldingLocale, locale_t{});
        if (made == locale_t{}) {
            std::fprintf(stderr,
                         "warning: the C library has no %s locale; letter case is ignored "
                         "for ASCII letters only\n",
                         kFoldingLocale);
        }
        return made;
    }();
    return locale;
}

// Whether no byte of `text` has its high bit set: eight bytes at a time, as
// names are compared on every registry lookup.
bool IsAscii(std::string_view text) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    uint64_t any = 0;
    size_t at = 0;
    for (; at + sizeof any <= text.size(); at += sizeof any) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + at, sizeof word);
        any |= word;
    }
    for (; at < text.size(); ++at) {
        any |= static_cast<unsigned char>(text[at]);
    }
    return (any & kHighBits) == 0;
}

// Appends `text` folded, from its first byte that is not ASCII on.
void FoldRest(std::string_view text, std::string& out) {
    const locale_t locale = FoldingLocale();
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = ReadUtf8(text, at);
        if (c.length == 0) {
            out += text[at++];  // not UTF-8: kept as it is
        } else if (c.code < 0x80 || locale == locale_t{}) {
            out.append(1, UpperAscii(text[at]));
            out.append(text, at + 1, c.length - 1);
            at += c.length;
        } else {
            AppendUtf8(out,
                       static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c.code), locale)));
            at += c.length;
        }
    }
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (size_t at = 0; at < out.size(); ++at) {
        const char c = out[at];
        if (static_cast<unsigned char>(c) >= 0x80) {
            out.resize(at);
            FoldRest(text.substr(at), out);
            return out;
        }
        out[at] = UpperAscii(c);
    }
    return out;
}

bool SameText(std::string_view a, std::string_view b) {
    // ASCII texts of different lengths differ; a character beyond ASCII may
    // fold to one of another length ("ı" to "I").
    if (a.size() != b.size() && IsAscii(a) && IsAscii(b)) {
        return false;
    }
    // Equal up to the first byte that is not ASCII; from there on the
    // folded rests are compared.
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t at = 0; at < common; ++at) {
        const char x = a[at];
        const char y = b[at];
        if (static_cast<unsigned char>(x) >= 0x80 || static_cast<unsigned char>(y) >= 0x80) {
            return FoldCase(a.substr(at)) == FoldCase(b.substr(at));
        }
        if (x != y && UpperAscii(x) != UpperAscii(y)) {
            return false;
        }
    }
    // No character folds to nothing, so what is left of the longer differs.
    return a.size() == b.size();
}

}  // namespace platform::standin
