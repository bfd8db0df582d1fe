#include "core/strings.h"

namespace core {

namespace {

// A byte that continues a UTF-8 sequence rather than starting a character.
bool Continues(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte offset just past the first `count` characters from `from`, or
// the end of the text.
size_t SkipCharacters(std::string_view text, size_t from, size_t count) {
    size_t at = from;
    while (at < text.size() && count > 0) {
        ++at;
        while (at < text.size() && Continues(text[at])) {
            ++at;
        }
        --count;
    }
    return at;
}

}  // namespace

size_t CharacterCount(std::string_view text) {
    size_t count = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        // A continuation byte with nothing to continue is a character too.
        count += at == 0 || !Continues(text[at]) ? 1 : 0;
    }
    return count;
}

std::string_view FirstCharacters(std::string_view text, size_t count) {
    return text.substr(0, SkipCharacters(text, 0, count));
}

std::string Copy(std::string_view text, long long start, long long count) {
    if (start < 1) {
        start = 1;
    }
    if (count <= 0) {
        return {};
    }
    const size_t from = SkipCharacters(text, 0, static_cast<size_t>(start - 1));
    if (from >= text.size()) {
        return {};
    }
    const size_t to = SkipCharacters(text, from, static_cast<size_t>(count));
    return std::string(text.substr(from, to - from));
}

long long Pos(std::string_view needle, std::string_view text) {
    if (needle.empty()) {
        return 0;
    }
    const auto at = text.find(needle);
    return at == std::string_view::npos
               ? 0
               : static_cast<long long>(CharacterCount(text.substr(0, at))) + 1;
}

char UpperAZ(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerAZ(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string UpperAZ(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = UpperAZ(c);
    }
    return result;
}

std::string LowerAZ(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = LowerAZ(c);
    }
    return result;
}

}  // namespace core
