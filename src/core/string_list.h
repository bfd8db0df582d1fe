// TStringList: an ordered list of text lines with name=value lookups.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/text_decoder.h"

namespace platform {
class Files;
class System;
}  // namespace platform

namespace core {

class TStringList {
  public:
    int Count() const { return static_cast<int>(lines_.size()); }
    // Index outside the list raises EStringListError.
    const std::string& Get(int index) const;
    void Put(int index, std::string line);
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    // Inserts before `index` (0..Count); others raise EStringListError.
    void Insert(int index, std::string line);
    void AddStrings(const TStringList& other);
    void Assign(const TStringList& other);
    void Clear() { lines_.clear(); }
    const std::vector<std::string>& Lines() const { return lines_; }

    // Empties the list and fills it from the whole file, opened for reading
    // only through `files`. A file that cannot be opened raises EFOpenError
    // "Cannot open file %s" with `path`.
    // The bytes are read as text by DecodeText (core/text_decoder.h); what
    // that found is returned.
    TextFacts LoadFromFile(platform::Files& files, const std::string& path);
    // Cuts `text` into lines: CR LF, lone LF and lone CR end a line; a final
    // break adds no empty line; a NUL byte ends the text.
    void SetText(std::string_view text);

    // The part of line `index` before its first "=", empty when it has none.
    std::string NameAt(int index) const;
    // Index of the first line whose name equals `name` ignoring case by the
    // user locale's comparison, which `locale` makes; -1 when there is none.
    int IndexOfName(const std::string& name, platform::System& locale) const;
    // The text after the first "=" of that line; empty when there is none.
    std::string ValueOf(const std::string& name, platform::System& locale) const;

  private:
    std::vector<std::string> lines_;
};

}  // namespace core
