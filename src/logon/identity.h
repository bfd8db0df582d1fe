// Who is logging on where and when: the identity values, learned on first
// use and kept for the rest of the process, and the full-name list.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/string_list.h"

namespace logon {

// Empty means not yet learned; "_Error" when the system cannot supply it.
extern std::string UserName;
extern std::string MachineName;
extern std::string FullName;
extern std::string GroupName;
extern std::string DateTimeText;

// login name=full name lines; empty when the list file does not exist.
extern std::unique_ptr<core::TStringList> FullNameList;

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
std::string CurrentUserName();
// The computer name, learned the same way ("Error <code> getting computer name").
std::string CurrentMachineName();
// The user's entry in FullNameList (login names compared ignoring case);
// empty when there is none, and then looked up again on the next call.
std::string CurrentFullName();
std::string CurrentGroupName();
// The current local time as "ddd, mmm d, yyyy hh:mm AM/PM", anew on every
// call, with the user locale's day and month names and time separator.
std::string CurrentDateTimeText();

// Creates FullNameList empty and loads it from `path` when a file (not a
// directory) exists there. A file that exists but cannot be opened raises
// EFOpenError, which is left to the caller.
void LoadFullNameList(const std::string& path);

// The values of the built-in macros UID and UIDL for a user name: UID has
// the first two characters upper case and at most 99 further ones lower
// case; UIDL is the whole name in lower case. Only A-Z and a-z change.
std::string UidMacroValue(const std::string& user);
std::string UidlMacroValue(const std::string& user);

// Empties the identity values: user, full name, machine, date and time,
// group, in this order.
void ClearIdentity();

// Empties the identity values and releases FullNameList (tests).
void ResetIdentity();

}  // namespace logon
