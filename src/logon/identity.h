// Who is logging on where and when: the identity values, learned on first
// use and kept for the rest of the process, and the full-name list.
#pragma once
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

std::string CurrentUserName();
std::string CurrentMachineName();
std::string CurrentFullName();
std::string CurrentGroupName();
// The current local time as "ddd, mmm d, yyyy hh:mm AM/PM", anew on every call.
std::string CurrentDateTimeText();

void LoadFullNameList(const std::string& path);

// Empties the identity values and releases FullNameList (tests).
void ResetIdentity();

}  // namespace logon
