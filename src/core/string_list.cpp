#include "core/string_list.h"

#include "core/exceptions.h"
#include "platform/files.h"
#include "platform/system.h"

namespace core {

namespace {
[[noreturn]] void IndexError(int index) {
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

const std::string& TStringList::Get(int index) const {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    return lines_[static_cast<size_t>(index)];
}

void TStringList::Put(int index, std::string line) {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    lines_[static_cast<size_t>(index)] = std::move(line);
}

void TStringList::Insert(int index, std::string line) {
    if (index < 0 || index > Count()) {
        IndexError(index);
    }
    lines_.insert(lines_.begin() + index, std::move(line));
}

void TStringList::AddStrings(const TStringList& other) {
    // Copy first: `other` may be this list.
    const std::vector<std::string> copy = other.lines_;
    lines_.insert(lines_.end(), copy.begin(), copy.end());
}

void TStringList::Assign(const TStringList& other) {
    if (&other != this) {
        lines_ = other.lines_;
    }
}

TextFacts TStringList::LoadFromFile(platform::Files& files, const std::string& path) {
    std::string contents;
    ThrowIfFailed<EFOpenError>(files.ReadWholeFile(path, &contents), "Cannot open file %s", path);
    const DecodedText decoded =
        DecodeText(contents, [&files](std::string_view ansi) { return files.Utf8FromAnsi(ansi); });
    SetText(decoded.text);
    return decoded.facts;
}

void TStringList::SetText(std::string_view text) {
    lines_.clear();
    const auto nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') {
            ++end;
        }
        lines_.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n') {
            start = end + 2;
        } else {
            start = end + 1;
        }
    }
}

std::string TStringList::NameAt(int index) const {
    const std::string& line = Get(index);
    const auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

int TStringList::IndexOfName(const std::string& name, platform::System& locale) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = lines_[static_cast<size_t>(i)];
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        if (locale.SameTextIgnoreCase(line.substr(0, eq), name)) {
            return i;
        }
    }
    return -1;
}

std::string TStringList::ValueOf(const std::string& name, platform::System& locale) const {
    const int index = IndexOfName(name, locale);
    if (index < 0) {
        return {};
    }
    const std::string& line = lines_[static_cast<size_t>(index)];
    return line.substr(line.find('=') + 1);
}

}  // namespace core
