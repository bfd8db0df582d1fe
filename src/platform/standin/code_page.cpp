#include "platform/standin/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
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
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

std::string IconvName(unsigned codePage) {
    return "CP" + std::to_string(codePage);
}

// One iconv conversion, closed when it goes.
class Converter {
  public:
    Converter(const std::string& to, const std::string& from)
        : cd_(::iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (cd_ != kNoConverter) {
            ::iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != kNoConverter; }

    // Converts `in` as far as it can into `out`; false where it stopped at
    // an input it cannot convert (what is left starts there).
    bool Run(std::string_view* in, std::string& out) {
        char buffer[256];
        while (!in->empty()) {
            char* from = const_cast<char*>(in->data());
            size_t fromLeft = in->size();
            char* to = buffer;
            size_t toLeft = sizeof buffer;
            const size_t result = ::iconv(cd_, &from, &fromLeft, &to, &toLeft);
            const int error = errno;
            out.append(buffer, sizeof buffer - toLeft);
            in->remove_prefix(in->size() - fromLeft);
            if (result == static_cast<size_t>(-1) && error != E2BIG) {
                ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
                return false;
            }
        }
        return true;
    }

  private:
    iconv_t cd_;
};

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
        it->second = Converter(kUtf8, IconvName(codePage)).ok() &&
                     Converter(IconvName(codePage), kUtf8).ok();
    }
    return it->second;
}

std::string Utf8FromCodePage(std::string_view bytes, unsigned codePage) {
    if (codePage == kDefaultCodePage) {
        return Utf8From1252(bytes, Unused1252::kControl);
    }
    Converter converter(kUtf8, IconvName(codePage));
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
    Converter converter(IconvName(codePage), kUtf8);
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
