#include <windows.h>

#include <algorithm>

#include "platform/text_codes.h"

namespace platform {

namespace {

// WideCharToMultiByte to the ANSI code page, without best-fit letters: a
// character the code page lacks becomes its default character, "?".
std::string Convert(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                            nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), bytes, "?",
                          nullptr);
    return out;
}

}  // namespace

std::string AnsiFromUnicode(const std::u32string& text, size_t* replaced) {
    std::string out;
    std::wstring run;  // characters of the Basic Multilingual Plane
    size_t lacked = 0;
    for (const char32_t code : text) {
        if (code < 0x10000) {
            run += static_cast<wchar_t>(code);
            continue;
        }
        // No ANSI code page holds a character beyond it: one "?" for it.
        out += Convert(run) + '?';
        run.clear();
        ++lacked;
    }
    out += Convert(run);
    // Each other "?" the text did not hold stands for a character the code
    // page lacks.
    const auto asked = std::count(text.begin(), text.end(), U'?');
    const auto given =
        std::count(out.begin(), out.end(), '?') - static_cast<std::ptrdiff_t>(lacked);
    *replaced += lacked + static_cast<size_t>(std::max<std::ptrdiff_t>(0, given - asked));
    return out;
}

}  // namespace platform
