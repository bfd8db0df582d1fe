// An INI file as WritePrivateProfileStringA sees it: the lines before the
// first section header form a section without a name, every other section
// starts at its "[name]" line; a line with "=" is a key and its value, a
// line without one a key that has no value (comments included: ";" has no
// special meaning to the writer). Blank lines and the blanks around names
// and values are not kept, and the file is written back with CR LF line
// ends, as the Windows writer does (measured under Wine).
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::standin {

class IniDocument {
  public:
    static IniDocument Parse(std::string_view bytes);

    // Sets the key of the section (both found ignoring letter case, the
    // blanks around them ignored), adding the section at the end of the file
    // and the key at the end of its section when they are missing. Leading
    // blanks of a new name and of the value are dropped. False when the key
    // already holds exactly this value, so nothing changed.
    bool Set(const std::string& section, const std::string& key, const std::string& value);

    std::string Serialize() const;

  private:
    struct Entry {
        std::string name;
        std::optional<std::string> value;  // none: a line without "="
    };
    struct Section {
        std::string name;
        bool header = false;  // false only for the lines before the first header
        std::vector<Entry> entries;
    };

    std::string bom_;  // a UTF-8 byte order mark, kept in front
    std::vector<Section> sections_;
};

}  // namespace platform::standin
