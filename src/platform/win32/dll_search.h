// Where the program looks for the DLLs it loads at run time: System32 only,
// never its own folder (a login share that anyone might write a DLL into)
// nor the current one.
#pragma once
#include <windows.h>

namespace platform::win32 {

// Makes System32 the only folder that later loads by bare name search.
// Called first when the platform is created, before anything is loaded at
// run time. SetDefaultDllDirectories is found at run time: Windows 7 has
// it only with update KB2533623. False when the system lacks it.
bool SearchSystem32Only();

// Loads the system DLL `name` (a bare file name) from System32 and nowhere
// else; null with the thread's last error set when that fails. Where the
// system does not know LOAD_LIBRARY_SEARCH_SYSTEM32 (Windows 7 without the
// update), the DLL is named by its full path in System32 instead, and its
// own dependencies are searched for beside it first.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace platform::win32
