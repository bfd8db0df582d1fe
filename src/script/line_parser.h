// The cutting of one script line into its command and arguments, with no
// effect on anything: ExecuteLine carries the result out, and a checker can
// use the same cutting to look at a script without running it.
#pragma once
#include <string>

#include "script/commands.h"

namespace script {

// Lines shorter than this are skipped without a message.
inline constexpr size_t kMinimumLineLength = 5;
// The most characters a value, a rest or a key can hold; more are dropped.
inline constexpr long long kArgumentLimit = 999;

struct SectionAndKey {
    std::string section;
    std::string key;
};

// The section is the text before the first "." (empty when the text starts
// with "." or has none), the key the text after it, at most kArgumentLimit
// characters, or the whole text when there is no ".". A section name thus
// cannot hold a "."; a key can.
SectionAndKey SplitSectionAndKey(const std::string& sectionAndKey);

struct ParsedLine {
    CommandKind kind = CommandKind::kTooShort;
    // 1-based positions of the first "=", "[" and "]"; 0 when missing.
    long long eq = 0, lb = 0, rb = 0;

    // Nothing is trimmed: blanks belong to the arguments.
    std::string destination;  // between the command letter and the first "="
    std::string value;        // after the first "=" (the whole line when there is none), <= 999
    std::string rest;         // everything after the command letter, <= 999

    // The I command only.
    std::string file;           // between the brackets
    std::string sectionAndKey;  // between the first "]" and the first "="
    SectionAndKey target;       // sectionAndKey split
    // The I form is "I[file]section.key=value": "[" second, a "]" after it
    // and an "=" after that. Any other I line is malformed; it names no file
    // (file stays empty unless the brackets are right and only the "=" is
    // missing or misplaced) and is reported instead of carried out.
    bool iniFormValid = false;
};

ParsedLine ParseLine(const std::string& line);

}  // namespace script
