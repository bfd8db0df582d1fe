// The work the logon timing program measures, and the Windows-only parts of
// the measurement (benchmarks/win32/), which only the Windows build has.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace timing {

enum class WorkKind { kRegistry, kDirectory, kIni };

// One effect of the logon script: a registry value, a directory with its
// missing parents, or an INI value. Every way of doing the work (the script,
// the batch file, the raw calls) is generated from the same items.
struct WorkItem {
    WorkKind kind = WorkKind::kRegistry;
    // kRegistry: the value `valueName` of root\key, of `type`, holding
    // `data` exactly as it is stored (a string with its terminating zero).
    platform::RegKey root = platform::kHkeyCurrentUser;
    std::string key;
    std::string valueName;
    uint32_t type = platform::kRegSz;
    std::string data;
    // kDirectory: the full path of the directory.
    std::string path;
    // kIni: the value of `iniKey` in `section` of `file` (a full path).
    std::string file;
    std::string section;
    std::string iniKey;
    std::string value;
};

// How a child process went: its time from start to the awaited moment, or
// why it did not get there.
struct ProcessTiming {
    bool ok = false;
    double seconds = 0;
    std::string failure;
};

// Windows only (benchmarks/win32/raw_loop.cpp): the same work as direct
// RegCreateKeyExA/RegSetValueExA/RegCloseKey, CreateDirectoryA and
// WritePrivateProfileStringA calls, with nothing in between. Seconds.
double RunRawWin32Loop(const std::vector<WorkItem>& items);

// Windows only (benchmarks/win32/processes.cpp).
// Runs `commandLine` in `directory` and waits until it ends; a process that
// runs longer than `limitSeconds` is ended and reported.
ProcessTiming RunToExit(const std::string& commandLine, const std::string& directory,
                        double limitSeconds);
// Starts `program` with `arguments` in `directory` and waits until its
// top-level window of class `windowClass` is visible; then closes that
// window (WM_CLOSE) and waits for the process to end with exit code 0.
ProcessTiming RunToWindow(const std::string& program, const std::string& arguments,
                          const std::string& directory, const std::string& windowClass,
                          double limitSeconds);
// The class of the plain window that ShowPlainWindow shows.
extern const char* const kPlainWindowClass;
// A top-level window with nothing in it (or only a rich edit control of
// RICHED32.DLL, the library the login window's news box needs), shown at
// once; returns when it is closed. The baselines for what the windowing
// system itself costs.
int ShowPlainWindow(bool withRichEdit);
// Deletes root\key with everything below it; quiet when it does not exist.
void DeleteRegistryTree(platform::RegKey root, const std::string& key);

}  // namespace timing
