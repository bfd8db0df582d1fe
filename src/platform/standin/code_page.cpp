#include "platform/standin/code_page.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>

#include "platform/standin/best_fit_1252.h"
#include "platform/standin/text.h"
#include "platform/text_codes.h"

namespace platform::standin {

namespace {

constexpr const char* kUtf8 = "UTF-8";
constexpr char kDefaultCharacter = '?';  // WideCharToMultiByte's default

std::string IconvName(unsigned codePage) {
    return "CP" + std::to_string(codePage);
}

// The five bytes that code page 1252 leaves unused and reads as the C1
// control characters of the same number; they are written back the same way.
bool IsUnused1252(char32_t code) {
    return code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D;
}

// The like character of code page 1252 that Windows writes for one it
// lacks, if its best-fit table has one.
std::optional<char> BestFit1252(char32_t code) {
    const auto* end = std::end(kBestFit1252);
    const auto* it = std::lower_bound(
        std::begin(kBestFit1252), end, code,
        [](const BestFit& entry, char32_t wanted) { return entry.character < wanted; });
    if (it == end || it->character != code) {
        return std::nullopt;
    }
    return static_cast<char>(it->byte);
}

std::string From1252(std::string_view text, size_t* replaced) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = ReadUtf8(text, at);
        at += c.length == 0 ? 1 : c.length;
        if (c.length == 0) {
            out += kDefaultCharacter;
            ++*replaced;
        } else if (IsUnused1252(c.code)) {
            out += static_cast<char>(c.code);
        } else if (const auto byte = ByteOf1252(c.code)) {
            out += *byte;
        } else {
            out += BestFit1252(c.code).value_or(kDefaultCharacter);
            ++*replaced;
        }
    }
    return out;
}

}  // namespace

bool IsKnownCodePage(unsigned codePage) {
    if (codePage == kDefaultCodePage) {
        return true;
    }
    // identity.ini is read on every path resolved: each code page is asked
    // of iconv once.
    static std::mutex mutex;
    static std::map<unsigned, bool> known;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto [it, added] = known.try_emplace(codePage, false);
    if (added) {
        it->second =
            Iconv(kUtf8, IconvName(codePage)).ok() && Iconv(IconvName(codePage), kUtf8).ok();
    }
    return it->second;
}

std::string Utf8FromCodePage(std::string_view bytes, unsigned codePage) {
    if (codePage == kDefaultCodePage) {
        return Utf8From1252(bytes, Unused1252::kControl);
    }
    Iconv converter(kUtf8, IconvName(codePage));
    if (!converter.ok()) {
        return ValidUtf8(bytes);
    }
    std::string out;
    out.reserve(bytes.size() * 2);
    while (!converter.Run(&bytes, out)) {
        // The byte that starts an unreadable sequence, or a sequence cut
        // short at the end, reads as U+FFFD; the next byte is read anew.
        AppendUtf8(out, kReplacementCharacter);
        bytes.remove_prefix(1);
    }
    return out;
}

std::string CodePageFromUtf8(std::string_view text, unsigned codePage, size_t* replaced) {
    size_t ignored = 0;
    if (replaced == nullptr) {
        replaced = &ignored;
    }
    if (codePage == kDefaultCodePage) {
        return From1252(text, replaced);
    }
    Iconv converter(IconvName(codePage), kUtf8);
    if (!converter.ok()) {
        return From1252(text, replaced);
    }
    std::string out;
    out.reserve(text.size());
    while (!converter.Run(&text, out)) {
        out += kDefaultCharacter;
        ++*replaced;
        const size_t length = ReadUtf8(text, 0).length;
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return out;
}

}  // namespace platform::standin
