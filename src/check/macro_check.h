// Macro references that expansion left in a line, and why; macros of the
// macros file that no lookup ever finds.
#pragma once
#include <string>
#include <vector>

#include "check/finding.h"
#include "core/string_list.h"
#include "platform/system.h"

namespace check {

// The flags of the references that still stand in `expanded` after the
// expansion with `macros` (MacroList as the run sees it): a name no macro
// has (in exactly that letter case), a macro whose value refers to itself,
// or one that a later macro's value brought in, which expansion does not
// go back for. Only names of letters, digits and "_", or names that some
// macro has, count as references; other text between percent signs is
// left alone. Each name is reported once.
std::vector<Finding> LeftReferences(platform::System& locale, const std::string& expanded,
                                    const core::TStringList& macros);

// The macros file's lines (those of `macros` from `firstFileLine` on) whose
// name an earlier line already has, ignoring letter case: every lookup
// takes the earlier one. `fileName` names the file in the text.
std::vector<Finding> ShadowedMacros(platform::System& locale, const core::TStringList& macros,
                                    int firstFileLine, const std::string& fileName);

}  // namespace check
