// The settings file next to the program, its nine settings (the context
// holds them, with their defaults), and the macros file that its "Macros"
// key names.
#pragma once
#include <string>

#include "logon/context.h"

namespace logon {

// The key whose value names the macros file.
inline constexpr const char* kMacrosKey = "Macros";
// The key that turns the event of each logon off with the value 0.
inline constexpr const char* kEventLogKey = "EventLog";

// False only when the settings file says EventLog=0: any other value, no
// such key, or no settings file leaves the event on.
bool EventLogEnabled(LogonContext& context);

// The settings file of a program: its path with the last three characters
// replaced by "INI". A program file name without a three-letter extension
// (the Linux build) gets ".INI" appended instead of losing its last letters.
std::string ConfigFileNameFor(const std::string& programPath);

// Reads the settings file and the macros file into the context's settings,
// ConfigList and MacroList; false (defaults kept, both lists empty) when the
// settings file cannot be read. A macros file that cannot be opened raises
// EFOpenError.
bool LoadConfig(LogonContext& context, const std::string& path);

// The message of a settings file that cannot be read: "Failed to load <path>".
std::string LoadFailureMessage(const std::string& configFileName);

// Appends "\" when the last character is not "\".
void EnsureTrailingBackslash(std::string& path);

}  // namespace logon
