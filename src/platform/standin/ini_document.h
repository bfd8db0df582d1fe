// An INI file as WritePrivateProfileStringW sees it: the lines before the
// first section header belong to no section, every section starts at its
// "[name]" line ("[]" being the section with the empty name); a line with
// "=" is a key and its value, a line without one a key that has no value.
// Blank lines and the blanks around names and values in the file are not
// kept, and the file is written back with CR LF line ends, as the Windows
// writer does. NUL bytes are characters like any other.
//
// The names and values are UTF-8. A file in another encoding is read line
// by line through a decoder, and each line the change leaves alone is
// written back as the bytes it was read from, so that no byte the encoding
// cannot read is lost or altered; only the lines changed or added go
// through the encoder.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::standin {

class IniDocument {
  public:
    // One line's text from one encoding into another; none: as it is.
    using Recoder = std::function<std::string(std::string_view)>;

    static IniDocument Parse(std::string_view bytes, const Recoder& toUtf8 = {});

    // Sets the key of the section, adding the section at the end of the file
    // and the key at the end of its section when they are missing. As on
    // Windows: the spaces (only they) at both ends of the section and key
    // names are dropped, and both are found ignoring letter case; the empty
    // name is the "[]" section, never the lines before the first header; a
    // key that begins with ";" is a comment, never found, always added; the
    // value is written as given. False when the key already holds exactly
    // this value, so nothing changed.
    bool Set(const std::string& section, const std::string& key, const std::string& value);

    std::string Serialize(const Recoder& fromUtf8 = {}) const;

  private:
    struct Entry {
        std::string name;
        std::optional<std::string> value;  // none: a line without "="
        std::string raw;                   // the line as read; empty once changed
    };
    struct Section {
        std::string name;
        bool header = false;  // false only for the lines before the first header,
                              // which no name finds
        std::vector<Entry> entries;
        std::string raw;  // the header line as read; empty for one added
    };

    std::string bom_;  // a UTF-8 byte order mark, kept in front
    std::vector<Section> sections_;
};

}  // namespace platform::standin
