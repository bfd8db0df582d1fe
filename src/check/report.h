// The check's report as text for people and as JSON for tools.
#pragma once
#include <string>

#include "check/checker.h"

namespace check {

// Every script line with its file and number, the line after expansion,
// what it would do and its flags; then a summary of the flags.
std::string FormatText(const CheckReport& report);

// One JSON object; the program's texts (UTF-8) are written with \u escapes
// for everything outside ASCII.
std::string FormatJson(const CheckReport& report);

// A JSON string literal of the program's text, quotes included.
std::string JsonString(const std::string& text);

// How the reports name a finding's severity: "flag" or "note", and the mark
// in front of a finding in the text reports.
const char* SeverityWord(Severity severity);
const char* SeverityMark(Severity severity);

// "1 line", "2 lines": a count and the noun that goes with it.
std::string Plural(long long count, const char* one, const char* many);

}  // namespace check
