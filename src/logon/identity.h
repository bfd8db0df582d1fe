// Who is logging on where and when: the identity values, learned on first
// use and kept in the logon context, and the full-name list.
#pragma once
#include <cstdint>
#include <string>

#include "logon/context.h"

namespace logon {

// What stands in UserName or MachineName when the system cannot supply it.
inline constexpr const char* kIdentityError = "_Error";
// The group every user belongs to.
inline constexpr const char* kEveryoneGroup = "EVERYONE";
// The user name is that of the network connection of this local device.
inline constexpr const char* kUserDevice = "C:";
// Characters of the buffers the user and computer names are read into,
// terminating NUL included.
inline constexpr uint32_t kIdentityBufferSize = 100;

// The user of the local device "C:"; a failure adds "Error <code> getting
// user name" to ErrorList once and keeps "_Error". An empty name counts as
// not learned, so the next call asks again.
std::string CurrentUserName(LogonContext& context);
// The computer name, learned the same way ("Error <code> getting computer name").
std::string CurrentMachineName(LogonContext& context);
// The user's entry in FullNameList (login names compared ignoring case);
// empty when there is none, and then looked up again on the next call.
std::string CurrentFullName(LogonContext& context);
std::string CurrentGroupName(LogonContext& context);
// The current local time as "ddd, mmm d, yyyy hh:mm AM/PM", anew on every
// call, with the user locale's day and month names and time separator.
std::string CurrentDateTimeText(LogonContext& context);

// Creates FullNameList empty and loads it from `path` when a file (not a
// directory) exists there. A file that exists but cannot be opened raises
// EFOpenError, which is left to the caller.
void LoadFullNameList(LogonContext& context, const std::string& path);

// The values of the built-in macros UID and UIDL for a user name: UID has
// the first two characters upper case and at most 99 further ones lower
// case; UIDL is the whole name in lower case. Only A-Z and a-z change.
std::string UidMacroValue(const std::string& user);
std::string UidlMacroValue(const std::string& user);

}  // namespace logon
