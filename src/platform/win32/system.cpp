#include "platform/win32/system.h"

#include <windows.h>

#include <vector>

#include "platform/win32/last_error.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {
std::string LocaleText(LCTYPE type) {
    wchar_t buffer[100] = {};
    const int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 100);
    return n > 0 ? Narrow(buffer) : std::string();
}
}  // namespace

Win32Error Win32System::GetComputerNameW(uint32_t bufferSize, std::string* name) {
    std::vector<wchar_t> buffer(bufferSize + 1, L'\0');
    DWORD size = bufferSize;
    // GetComputerNameW returns only a boolean: the code is the thread's last
    // error, taken at once. A failure that left no code must still not read
    // as success.
    if (!::GetComputerNameW(buffer.data(), &size)) {
        return LastErrorOr(ERROR_GEN_FAILURE);
    }
    *name = Narrow(buffer.data());
    return ERROR_SUCCESS;
}

// CheckTokenMembership with the process's own token (no token given) tells
// a group that is enabled in it: the Administrators group of a filtered
// token, as a user's logon gets under User Account Control, is there for
// denying only, so only an elevated process is an administrator's.
Rights Win32System::ProcessRights() {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
        return Rights::kStandard;
    }
    BOOL member = FALSE;
    const BOOL asked = ::CheckTokenMembership(nullptr, administrators, &member);
    ::FreeSid(administrators);
    return asked && member ? Rights::kAdministrator : Rights::kStandard;
}

LocalTime Win32System::Now() {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.dayOfWeek = st.wDayOfWeek;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    return t;
}

std::string Win32System::ShortDayName(int dayOfWeek) {
    // LOCALE_SABBREVDAYNAME1 is Monday; the system counts from Sunday.
    if (dayOfWeek < 0 || dayOfWeek > 6) {
        return {};
    }
    const int mondayBased = (dayOfWeek + 6) % 7;
    return LocaleText(LOCALE_SABBREVDAYNAME1 + mondayBased);
}

std::string Win32System::ShortMonthName(int month) {
    if (month < 1 || month > 12) {
        return {};
    }
    return LocaleText(LOCALE_SABBREVMONTHNAME1 + (month - 1));
}

std::string Win32System::TimeSeparator() {
    return LocaleText(LOCALE_STIME);
}

std::string Win32System::ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            return Narrow(buffer.data(), static_cast<int>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool Win32System::SameTextIgnoreCase(const std::string& a, const std::string& b) {
    const std::wstring wideA = WideWhole(a), wideB = WideWhole(b);
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideA.data(),
                            static_cast<int>(wideA.size()), wideB.data(),
                            static_cast<int>(wideB.size())) == CSTR_EQUAL;
}

std::string Win32System::FullPathName(const std::string& path) {
    if (path.empty()) {
        return path;
    }
    const std::wstring wide = Wide(path);
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()),
                                           buffer.data(), nullptr);
        if (n == 0) {
            return path;
        }
        if (n < buffer.size()) {
            return Narrow(buffer.data(), static_cast<int>(n));
        }
        buffer.resize(n + 1);
    }
}

}  // namespace platform::win32
