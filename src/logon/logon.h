// The logon context setup that start-up runs before any window exists.
#pragma once

namespace logon {

// Registers FreeLogon, creates ScriptRegistry and ErrorList, loads the
// settings file and the full-name list, learns the identity, and puts the
// built-in macros in front of the macros file's lines, expanded.
void InitLogon();

// Puts the built-in macros of the identity values in front of MacroList
// (Group, Fullname, UIDL, UID, DateTime, MachId, then the macros file's
// lines) and expands the macros inside MacroList itself.
void DefineMacros();

}  // namespace logon
