// The settings file next to the program, its nine settings with their
// defaults, and the macros file that its "Macros" key names.
#pragma once
#include <memory>
#include <string>

#include "core/string_list.h"

namespace logon {

// The settings, holding their defaults until LoadConfig replaces them.
extern std::string MachineDir;       // "Machine", default MACHINE\ (ends in "\")
extern std::string UserDir;          // "User", default USER\ (ends in "\")
extern std::string GroupDir;         // "Group", default GROUP\ (ends in "\")
extern std::string GlobalDir;        // "Global", default GLOBAL\ (ends in "\")
extern std::string NoticeFile;       // "Notice", default NOTICE.RTF
extern std::string DefaultName;      // "Default", default _DEFAULT
extern std::string UserListFile;     // "UserList", default USERLIST.DAT
extern std::string ProcessOrder;     // "Process", default *gGuUmM
extern std::string ScriptExtension;  // "Extension", default .DAT

// The key whose value names the macros file.
inline constexpr const char* kMacrosKey = "Macros";
// The key that turns the event of each logon off with the value 0.
inline constexpr const char* kEventLogKey = "EventLog";

// False only when the settings file says EventLog=0: any other value, no
// such key, or no settings file leaves the event on.
bool EventLogEnabled();

// The settings file's lines as read, and the macro definitions.
extern std::unique_ptr<core::TStringList> ConfigList;
extern std::unique_ptr<core::TStringList> MacroList;

// The settings file of a program: its path with the last three characters
// replaced by "INI". A program file name without a three-letter extension
// (the Linux build) gets ".INI" appended instead of losing its last letters.
std::string ConfigFileNameFor(const std::string& programPath);

// Reads the settings file and the macros file; false (defaults kept, both
// lists empty) when the settings file cannot be read. A macros file that
// cannot be opened raises EFOpenError.
bool LoadConfig(const std::string& path);

// The message of a settings file that cannot be read: "Failed to load <path>".
std::string LoadFailureMessage(const std::string& configFileName);

// Appends "\" when the last character is not "\".
void EnsureTrailingBackslash(std::string& path);

// The shutdown step: releases MacroList, then ConfigList.
void FreeSettings();

// Module initialisation: registers FreeSettings on the exit list.
void InitSettingsModule();

// Puts every setting back to its default and releases both lists (tests).
void ResetSettings();

}  // namespace logon
