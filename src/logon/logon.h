// The logon context that start-up sets up before any window exists, as
// named steps in start-up's order: the settings file, the full-name list,
// the identity, the built-in macros and their expansion. The program runs
// them for the identity the system reports; the checker runs the same
// steps for the identity it is given.
#pragma once
#include <optional>
#include <string>

#include "logon/context.h"

namespace logon {

// Where the identity comes from: a value given here is taken as it stands;
// one left unset is learned from the system as the program learns it. The
// full name is always looked up in the full-name list.
struct IdentityInput {
    std::optional<std::string> user;
    std::optional<std::string> machine;
    std::optional<std::string> group;
    std::optional<std::string> dateTime;
};

struct LogonInput {
    std::string configFileName;
    // Unset: the UserList setting as the settings file leaves it.
    std::optional<std::string> userListFile;
    IdentityInput identity;
};

// The steps of LoadLogonContext, in their order.
enum class LogonStep { kSettings, kFullNameList, kIdentity, kMacros, kDone };

// How far LoadLogonContext came, for a caller that reports on it.
struct LogonProgress {
    LogonStep step = LogonStep::kSettings;
    bool settingsLoaded = false;
    int macrosFileLines = 0;  // lines the macros file gave MacroList
};

// Reads the settings file and the macros file it names; a settings file
// that cannot be read adds "Failed to load <path>" to ErrorList and leaves
// the defaults. A macros file that cannot be opened raises EFOpenError.
bool LoadSettingsFile(LogonContext& context, const std::string& configFileName);

// Sets the identity values in the order the program learns them: user,
// machine, full name, group, date and time.
void LearnIdentity(LogonContext& context, const IdentityInput& given);

// Puts the built-in macros of the identity values in front of MacroList
// (Group, Fullname, UIDL, UID, DateTime, MachId, then the macros file's
// lines) and expands the macros inside MacroList itself.
void DefineMacros(LogonContext& context);

// The steps above with the full-name list between the settings and the
// identity. A file that cannot be opened (the macros file, the full-name
// list) raises EFOpenError; `progress` then tells the step that raised.
void LoadLogonContext(LogonContext& context, const LogonInput& input,
                      LogonProgress* progress = nullptr);

}  // namespace logon
