#include "logon/identity.h"

#include <cstdio>

#include "core/error_list.h"
#include "core/file_exists.h"
#include "core/strings.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "platform/system.h"

namespace logon {

std::string UserName, MachineName, FullName, GroupName, DateTimeText;
std::unique_ptr<core::TStringList> FullNameList;

namespace {

constexpr const char* kErrorPrefix = "Error ";
constexpr const char* kUserNameFailure = " getting user name";
constexpr const char* kMachineNameFailure = " getting computer name";

// Characters of UID that follow its two upper-case ones.
constexpr long long kUidTailLength = 99;

// The name `cache` holds, asked of the system once: `ask` gives its error
// code and the name; a failure goes to the error list, and the name is then
// the error marker.
template <typename Ask>
const std::string& CachedName(std::string& cache, const char* failure, Ask ask) {
    if (cache.empty()) {
        std::string name;
        const uint32_t code = ask(&name).code();
        if (code == 0) {
            cache = name;
        } else {
            core::AddError(kErrorPrefix + std::to_string(code) + failure);
            cache = kIdentityError;
        }
    }
    return cache;
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

}  // namespace

std::string CurrentUserName() {
    return CachedName(UserName, kUserNameFailure, [](std::string* name) {
        return platform::Current().network().GetUser(kUserDevice, kIdentityBufferSize, name);
    });
}

std::string CurrentMachineName() {
    return CachedName(MachineName, kMachineNameFailure, [](std::string* name) {
        return platform::Current().system().GetComputerNameA(kIdentityBufferSize, name);
    });
}

std::string CurrentFullName() {
    if (!FullName.empty()) {
        return FullName;
    }
    UserName = CurrentUserName();
    // Without a loaded list there is no entry for anyone (rather than a
    // dereferenced null when the window asks before the list exists).
    FullName = FullNameList ? FullNameList->ValueOf(UserName) : std::string();
    return FullName;
}

std::string CurrentGroupName() {
    return kEveryoneGroup;
}

std::string CurrentDateTimeText() {
    platform::System& system = platform::Current().system();
    const platform::LocalTime now = system.Now();
    // 12-hour clock: midnight and noon are 12, one in the afternoon is 01.
    const int hour12 = now.hour % 12 == 0 ? 12 : now.hour % 12;
    return system.ShortDayName(now.dayOfWeek) + ", " + system.ShortMonthName(now.month) + " " +
           std::to_string(now.day) + ", " + std::to_string(now.year) + " " + TwoDigits(hour12) +
           system.TimeSeparator() + TwoDigits(now.minute) + (now.hour < 12 ? " AM" : " PM");
}

void LoadFullNameList(const std::string& path) {
    FullNameList = std::make_unique<core::TStringList>();
    if (core::FileExists(path)) {
        FullNameList->LoadFromFile(path);
    }
}

std::string UidMacroValue(const std::string& user) {
    return core::UpperAZ(core::Copy(user, 1, 2)) +
           core::LowerAZ(core::Copy(user, 3, kUidTailLength));
}

std::string UidlMacroValue(const std::string& user) {
    return core::LowerAZ(user);
}

void ClearIdentity() {
    UserName.clear();
    FullName.clear();
    MachineName.clear();
    DateTimeText.clear();
    GroupName.clear();
}

void ResetIdentity() {
    ClearIdentity();
    FullNameList.reset();
}

}  // namespace logon
