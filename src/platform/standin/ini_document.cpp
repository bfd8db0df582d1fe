#include "platform/standin/ini_document.h"

#include "platform/standin/case_fold.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The Windows writer drops every white-space character around the names and
// values it reads from the file, not only spaces and tabs.
constexpr std::string_view kIniBlanks = " \t\r\n\v\f";
constexpr std::string_view kLineEnd = "\r\n";
// The names a caller gives lose the spaces at their ends, and nothing else.
constexpr std::string_view kNameBlanks = " ";
constexpr std::string_view kComment = ";";

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument document;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        document.bom_ = std::string(kUtf8Bom);
        bytes.remove_prefix(kUtf8Bom.size());
    }
    document.sections_.push_back(Section{});
    size_t start = 0;
    while (start <= bytes.size()) {
        // CR, LF and CR LF all end a line; the empty lines between them go.
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        const std::string_view line = Trim(bytes.substr(start, end - start), kIniBlanks);
        start = end + 1;
        if (line.empty()) {
            continue;
        }
        // "[name]" with anything after the last "]" ignored; a "[" line
        // without "]" is a key.
        if (line.front() == '[') {
            if (const auto close = line.rfind(']'); close != std::string_view::npos) {
                Section section;
                section.name = std::string(Trim(line.substr(1, close - 1), kIniBlanks));
                section.header = true;
                document.sections_.push_back(std::move(section));
                continue;
            }
        }
        Entry entry;
        if (const auto split = SplitNameValue(line, kIniBlanks)) {
            entry.name = std::string(split->name);
            entry.value = std::string(split->value);
        } else {
            entry.name = std::string(line);
        }
        document.sections_.back().entries.push_back(std::move(entry));
    }
    return document;
}

bool IniDocument::Set(const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::string sectionName(Trim(section, kNameBlanks));
    const std::string keyName(Trim(key, kNameBlanks));

    Section* target = nullptr;
    for (Section& candidate : sections_) {
        if (candidate.header && SameText1252(candidate.name, sectionName)) {
            target = &candidate;
            break;
        }
    }
    if (target == nullptr) {
        sections_.push_back(Section{sectionName, true, {}});
        target = &sections_.back();
    }
    if (keyName.compare(0, 1, kComment) != 0) {
        for (Entry& entry : target->entries) {
            if (SameText1252(entry.name, keyName)) {
                if (entry.value == value) {
                    return false;
                }
                entry.value = value;
                return true;
            }
        }
    }
    target->entries.push_back(Entry{keyName, value});
    return true;
}

std::string IniDocument::Serialize() const {
    std::string text = bom_;
    for (const Section& section : sections_) {
        // A "[]" header read from the file is written back: leaving it out
        // would move its keys into the section before it.
        if (section.header) {
            text += "[" + section.name + "]";
            text += kLineEnd;
        }
        for (const Entry& entry : section.entries) {
            text += entry.name;
            if (entry.value) {
                text += "=" + *entry.value;
            }
            text += kLineEnd;
        }
    }
    return text;
}

}  // namespace platform::standin
