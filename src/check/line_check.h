// What one expanded script line would do, told from the same cutting and
// the same conversions that ExecuteLine uses, and what in it will certainly
// fail or is almost certainly a mistake. Nothing is carried out.
#pragma once
#include <string>
#include <vector>

#include "check/finding.h"
#include "script/commands.h"

namespace check {

struct LineContext {
    std::string userName;  // the name an attached hive is loaded under
    // Where the latest L line before this one stands ("USER\jsmith.DAT:3");
    // empty when there is none. U lines then go into that hive once it loads.
    std::string hiveLine;
};

struct LineVerdict {
    script::CommandKind kind = script::CommandKind::kTooShort;
    std::string command;  // its fixed word: "copy", "registry", "comment", ...
    std::string action;   // what the line would do, for people
    std::vector<Finding> flags;
};

// `expanded` is the line as ExecuteLine receives it; `raw` the line as its
// file holds it (for the text that macro expansion may cut).
LineVerdict CheckLine(const std::string& raw, const std::string& expanded,
                      const LineContext& context);

}  // namespace check
