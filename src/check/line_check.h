// What the run itself cannot say about one script line: why it fails when
// its text alone tells, and what in it is almost certainly a mistake. What
// the line does, and whether it fails, the program's own code tells when
// the checker runs it (check/what_if.h); nothing here decides that.
#pragma once
#include <string>
#include <vector>

#include "check/finding.h"
#include "script/commands.h"

namespace check {

struct LineAdvice {
    script::CommandKind kind = script::CommandKind::kTooShort;
    std::string command;  // its fixed word: "copy", "registry", "comment", ...
    // The finding each message the run records for the line is told as:
    // why it fails, as far as the text tells.
    std::string failureKind, failureText;
    // What the line does when it changes nothing and records nothing.
    std::string idle;
    // Mistakes and notes about the text, whatever the run does.
    std::vector<Finding> notes;
};

// `expanded` is the line as ExecuteLine receives it; `raw` the line as its
// file holds it (for the text that macro expansion may cut).
LineAdvice AdviseLine(const std::string& raw, const std::string& expanded);

}  // namespace check
