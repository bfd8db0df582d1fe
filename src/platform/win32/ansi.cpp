#include <windows.h>

#include <algorithm>

#include "platform/text_codes.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// To the ANSI code page without best-fit letters: a character the code page
// lacks becomes "?".
std::string Convert(const std::wstring& wide) {
    return win32::Narrow(wide.data(), static_cast<int>(wide.size()), WC_NO_BEST_FIT_CHARS);
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
