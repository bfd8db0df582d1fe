// %name% macro expansion over whole lines.
//
// Each macro of MacroList is applied to a line in list order; its reference
// "%" + name + "%" is found with exact letter case and replaced, one
// occurrence (the leftmost) at a time, by the value of the first line whose
// name matches ignoring case; at most 999 characters of the text after a
// reference are kept. A value that holds its own reference is substituted
// once.
//
// Runaway guard: a value can re-form its reference together with the text
// around it (A=A%%A in the line %A%%), and the replacing would never end.
// Every occurrence found lies at or after the last name-length-plus-one
// characters before the previous one, so only the text from there on can
// still change, and what happens to it depends on nothing else. When that
// live text comes back exactly as it was after an earlier replacement, the
// replacing has entered a cycle that never ends, and it is stopped there.
// A line whose replacing ends by itself never repeats a state, so the guard
// never changes it.
#pragma once
#include <string>

#include "core/string_list.h"
#include "logon/context.h"

namespace logon {

// Replaces the first reference to `name` in `line` by the macro's value.
// True when a reference was replaced and the value does not contain it,
// i.e. when the caller is to try the same macro again.
bool ExpandMacro(LogonContext& context, const std::string& name, std::string& line);

// Expands every line of `list` with every macro of the context's MacroList. Lines that
// cannot hold a reference are skipped; the result is that of
// ExpandMacrosPlain.
void ExpandMacros(LogonContext& context, core::TStringList& list);

// The same expansion, macro by macro over every line without skipping.
void ExpandMacrosPlain(LogonContext& context, core::TStringList& list);

}  // namespace logon
