#include "platform/standin/ini_document.h"

#include "platform/standin/case_fold.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace {

// The Windows writer drops every white-space character around the names and
// values it reads from the file, not only spaces and tabs.
constexpr std::string_view kIniBlanks = " \t\r\n\v\f";
constexpr std::string_view kLineEnd = "\r\n";
// The names a caller gives lose the spaces at their ends, and nothing else.
constexpr std::string_view kNameBlanks = " ";
constexpr std::string_view kComment = ";";

// One line of the file read: a section header, or a key and its value.
struct Line {
    bool header = false;
    std::string name;
    std::optional<std::string> value;
};

// `text`, a line without its blanks, read: "[name]" with anything after the
// last "]" ignored; a "[" line without "]" is a key.
Line ReadLine(std::string_view text) {
    Line line;
    if (text.front() == '[') {
        if (const auto close = text.rfind(']'); close != std::string_view::npos) {
            line.header = true;
            line.name = std::string(Trim(text.substr(1, close - 1), kIniBlanks));
            return line;
        }
    }
    if (const auto split = SplitNameValue(text, kIniBlanks)) {
        line.name = std::string(split->name);
        line.value = std::string(split->value);
    } else {
        line.name = std::string(text);
    }
    return line;
}

std::string WrittenForm(const Line& line) {
    if (line.header) {
        return "[" + line.name + "]";
    }
    return line.value ? line.name + "=" + *line.value : line.name;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes, const Recoder& toUtf8) {
    IniDocument document;
    if (MarkOf(bytes) == ByteOrderMark::kUtf8) {
        document.bom_ = std::string(MarkBytes(ByteOrderMark::kUtf8));
        bytes.remove_prefix(document.bom_.size());
    }
    document.sections_.push_back(Section{});
    size_t start = 0;
    while (start <= bytes.size()) {
        // CR, LF and CR LF all end a line; the empty lines between them go.
        // They and the blanks lie below 0x40, where no second byte of a
        // double-byte character of an ANSI code page of Windows lies.
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        const std::string_view raw = Trim(bytes.substr(start, end - start), kIniBlanks);
        start = end + 1;
        if (raw.empty()) {
            continue;
        }
        const std::string decoded = toUtf8 ? toUtf8(raw) : std::string();
        const std::string_view text = toUtf8 ? Trim(decoded, kIniBlanks) : raw;
        if (text.empty()) {
            continue;
        }
        const Line line = ReadLine(text);
        // The line as it will be written, in the file's own bytes: kept only
        // when it reads as the same line, which a "]" that is the second
        // byte of a double-byte character could upset.
        std::string written;
        if (toUtf8) {
            const Line rawLine = ReadLine(raw);
            written = WrittenForm(rawLine);
            if (rawLine.header != line.header || toUtf8(written) != WrittenForm(line)) {
                written.clear();
            }
        }
        if (line.header) {
            document.sections_.push_back(Section{line.name, true, {}, std::move(written)});
        } else {
            document.sections_.back().entries.push_back(
                Entry{line.name, line.value, std::move(written)});
        }
    }
    return document;
}

bool IniDocument::Set(const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::string sectionName(Trim(section, kNameBlanks));
    const std::string keyName(Trim(key, kNameBlanks));

    Section* target = nullptr;
    for (Section& candidate : sections_) {
        if (candidate.header && SameText(candidate.name, sectionName)) {
            target = &candidate;
            break;
        }
    }
    if (target == nullptr) {
        sections_.push_back(Section{sectionName, true, {}, {}});
        target = &sections_.back();
    }
    if (keyName.compare(0, 1, kComment) != 0) {
        for (Entry& entry : target->entries) {
            if (SameText(entry.name, keyName)) {
                if (entry.value == value) {
                    return false;
                }
                entry.value = value;
                entry.raw.clear();
                return true;
            }
        }
    }
    target->entries.push_back(Entry{keyName, value, {}});
    return true;
}

std::string IniDocument::Serialize(const Recoder& fromUtf8) const {
    std::string text = bom_;
    const auto write = [&](const std::string& raw, const Line& line) {
        if (!raw.empty()) {
            text += raw;
        } else {
            text += fromUtf8 ? fromUtf8(WrittenForm(line)) : WrittenForm(line);
        }
        text += kLineEnd;
    };
    for (const Section& section : sections_) {
        // A "[]" header read from the file is written back: leaving it out
        // would move its keys into the section before it.
        if (section.header) {
            write(section.raw, Line{true, section.name, std::nullopt});
        }
        for (const Entry& entry : section.entries) {
            write(entry.raw, Line{false, entry.name, entry.value});
        }
    }
    return text;
}

}  // namespace platform::standin
