#include "logon/identity.h"

#include <cstdio>

#include "core/file_exists.h"
#include "core/strings.h"
#include "platform/network.h"
#include "platform/system.h"

namespace logon {

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
const std::string& CachedName(LogonContext& context, std::string& cache, const char* failure,
                              Ask ask) {
    if (cache.empty()) {
        std::string name;
        const uint32_t code = ask(&name).code();
        if (code == 0) {
            cache = name;
        } else {
            context.AddError(kErrorPrefix + std::to_string(code) + failure);
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

std::string CurrentUserName(LogonContext& context) {
    platform::Network& network = context.services.network();
    return CachedName(context, context.UserName, kUserNameFailure, [&network](std::string* name) {
        return network.GetUser(kUserDevice, kIdentityBufferSize, name);
    });
}

std::string CurrentMachineName(LogonContext& context) {
    platform::System& system = context.services.system();
    return CachedName(context, context.MachineName, kMachineNameFailure,
                      [&system](std::string* name) {
                          return system.GetComputerNameW(kIdentityBufferSize, name);
                      });
}

std::string CurrentFullName(LogonContext& context) {
    if (!context.FullName.empty()) {
        return context.FullName;
    }
    context.UserName = CurrentUserName(context);
    // Without a loaded list there is no entry for anyone (rather than a
    // dereferenced null when the window asks before the list exists).
    context.FullName = context.FullNameList ? context.FullNameList->ValueOf(
                                                  context.UserName, context.services.system())
                                            : std::string();
    return context.FullName;
}

std::string CurrentGroupName(LogonContext&) {
    return kEveryoneGroup;
}

std::string CurrentDateTimeText(LogonContext& context) {
    platform::System& system = context.services.system();
    const platform::LocalTime now = system.Now();
    // 12-hour clock: midnight and noon are 12, one in the afternoon is 01.
    const int hour12 = now.hour % 12 == 0 ? 12 : now.hour % 12;
    return system.ShortDayName(now.dayOfWeek) + ", " + system.ShortMonthName(now.month) + " " +
           std::to_string(now.day) + ", " + std::to_string(now.year) + " " + TwoDigits(hour12) +
           system.TimeSeparator() + TwoDigits(now.minute) + (now.hour < 12 ? " AM" : " PM");
}

void LoadFullNameList(LogonContext& context, const std::string& path) {
    context.FullNameList = std::make_unique<core::TStringList>();
    platform::Files& files = context.services.files();
    if (core::FileExists(files, path)) {
        context.FullNameList->LoadFromFile(files, path);
    }
}

std::string UidMacroValue(const std::string& user) {
    return core::UpperAZ(core::Copy(user, 1, 2)) +
           core::LowerAZ(core::Copy(user, 3, kUidTailLength));
}

std::string UidlMacroValue(const std::string& user) {
    return core::LowerAZ(user);
}

}  // namespace logon
