// What Windows' default security lets a process do, by the rights it runs
// with: a standard user's (the default of every logon) or an
// administrator's (an elevated process). The stand-in refuses what these
// rules refuse, and the checker predicts the same refusals from them.
// References:
//   - Registry Key Security and Access Rights (learn.microsoft.com,
//     windows/win32/sysinfo/registry-key-security-and-access-rights):
//     HKEY_LOCAL_MACHINE grants the Users group read access only, so an
//     open with KEY_ALL_ACCESS or a new key there is refused with
//     ERROR_ACCESS_DENIED.
//   - HKEY_CLASSES_ROOT Key (windows/win32/sysinfo/hkey-classes-root-key):
//     a write to a key of HKEY_CLASSES_ROOT lands in the user's
//     HKEY_CURRENT_USER\Software\Classes when the key exists there, and
//     otherwise in HKEY_LOCAL_MACHINE\Software\Classes.
//   - The default access lists of the system drive (icacls C:\ and its
//     folders on Windows 10 and 11): C:\ gives Authenticated Users
//     "create folders / append data" on the folder itself and Modify on
//     what lies below it, so a standard user may make folders at the root
//     and change the files there but not make new files; C:\Windows and
//     C:\Program Files give Users "read & execute" only, but for
//     C:\Windows\Temp, where Users may create files and folders.
//   - RegLoadKey (windows/win32/api/winreg/nf-winreg-regloadkeya): the
//     caller must hold SE_RESTORE_NAME and SE_BACKUP_NAME, which a standard
//     user lacks: ERROR_PRIVILEGE_NOT_HELD.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"

namespace platform {

enum class Rights { kStandard, kAdministrator };

// "Standard" and "Administrator", as identity.ini and the checker's
// --rights take them (letter case ignored).
std::optional<Rights> RightsFromName(const std::string& name);
const char* RightsName(Rights rights);

enum class FileWrite { kNewFile, kNewFolder, kChangeFile };

// A write on the system drive C:. `folder`: the names of the folder that
// holds (or is to hold) the file or folder, from the drive's root down;
// empty for the root itself. 0, or ERROR_ACCESS_DENIED.
Win32Error SystemDriveAccess(Rights rights, const std::vector<std::string>& folder,
                             FileWrite write);

// The folders of a full path on drive C: ("C:\Windows\win.ini" gives
// {"Windows"}); nullopt for a path elsewhere or not a full one.
std::optional<std::vector<std::string>> SystemDriveFolder(const std::string& path);

// An open for all access, or a new key, in the machine's registry
// (HKEY_LOCAL_MACHINE, and HKEY_CLASSES_ROOT where it is the machine's).
Win32Error MachineKeyAccess(Rights rights);

// Loading a hive into HKEY_USERS.
Win32Error HiveLoadAccess(Rights rights);

}  // namespace platform
