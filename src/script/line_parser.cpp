#include "script/line_parser.h"

#include "core/strings.h"

namespace script {

SectionAndKey SplitSectionAndKey(const std::string& sectionAndKey) {
    const long long dot = core::Pos(".", sectionAndKey);
    SectionAndKey result;
    if (dot == 0) {
        result.key = sectionAndKey;
        return result;
    }
    result.section = core::Copy(sectionAndKey, 1, dot - 1);
    result.key = core::Copy(sectionAndKey, dot + 1, kArgumentLimit);
    return result;
}

ParsedLine ParseLine(const std::string& line) {
    ParsedLine parsed;
    if (line.size() < kMinimumLineLength) {
        return parsed;
    }
    parsed.kind = CommandOf(line[0]);
    parsed.eq = core::Pos("=", line);
    parsed.lb = core::Pos("[", line);
    parsed.rb = core::Pos("]", line);
    const long long eq = parsed.eq, lb = parsed.lb, rb = parsed.rb;

    parsed.destination = core::Copy(line, 2, eq - 2);
    parsed.value = core::Copy(line, eq + 1, kArgumentLimit);
    parsed.rest = core::Copy(line, 2, kArgumentLimit);

    if (parsed.kind == CommandKind::kWriteIni) {
        const bool bracketsRight = lb == 2 && rb > lb;
        parsed.iniFormValid = bracketsRight && eq > rb;
        if (bracketsRight) {
            parsed.file = core::Copy(line, lb + 1, rb - lb - 1);
        }
        parsed.sectionAndKey = core::Copy(line, rb + 1, eq - rb - 1);
        parsed.target = SplitSectionAndKey(parsed.sectionAndKey);
    }
    return parsed;
}

}  // namespace script
