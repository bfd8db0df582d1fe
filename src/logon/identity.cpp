#include "logon/identity.h"

namespace logon {

std::string UserName, MachineName, FullName, GroupName, DateTimeText;
std::unique_ptr<core::TStringList> FullNameList;

std::string CurrentUserName() { return UserName; }
std::string CurrentMachineName() { return MachineName; }
std::string CurrentFullName() { return FullName; }
std::string CurrentGroupName() { return "EVERYONE"; }
std::string CurrentDateTimeText() { return DateTimeText; }
void LoadFullNameList(const std::string&) { FullNameList = std::make_unique<core::TStringList>(); }

void ResetIdentity() {
    UserName.clear();
    MachineName.clear();
    FullName.clear();
    GroupName.clear();
    DateTimeText.clear();
    FullNameList.reset();
}

}  // namespace logon
