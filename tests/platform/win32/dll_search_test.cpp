#include "platform/win32/dll_search.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/gdi_handles.h"

namespace {

using platform::win32::UniqueModule;

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length);
}

// A loadable image planted beside the program under a DLL's name, as
// anyone who can write to the login share could; removed afterwards.
class PlantedDll {
  public:
    explicit PlantedDll(const wchar_t* name) : path_(FolderOf(ModulePath(nullptr)) + L"\\" + name) {
        copied_ = ::CopyFileW(ModulePath(nullptr).c_str(), path_.c_str(), FALSE) != FALSE;
    }
    ~PlantedDll() { ::DeleteFileW(path_.c_str()); }
    PlantedDll(const PlantedDll&) = delete;
    PlantedDll& operator=(const PlantedDll&) = delete;
    bool copied() const { return copied_; }
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
    bool copied_ = false;
};

// The rich-text library and every other system DLL come from System32;
// a DLL of the same name in the program's folder is never taken, neither
// by the toolkit's load nor, once the search is narrowed, by a bare load.
TEST(DllSearchTest, SystemDllsComeFromSystem32AndNeverFromTheProgramsFolder) {
    const UniqueModule richEdit(platform::win32::LoadSystemLibrary(L"RICHED20.DLL"));
    ASSERT_TRUE(richEdit);
    EXPECT_EQ(::lstrcmpiW(FolderOf(ModulePath(richEdit.get())).c_str(), SystemFolder().c_str()), 0);

    const PlantedDll planted(L"tarnwick-planted.dll");
    ASSERT_TRUE(planted.copied());
    {
        // The planted image itself loads, named by its path.
        const UniqueModule byPath(::LoadLibraryExW(planted.path().c_str(), nullptr, 0));
        ASSERT_TRUE(byPath);
    }
    ::SetLastError(0);
    const UniqueModule loaded(platform::win32::LoadSystemLibrary(L"tarnwick-planted.dll"));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    ASSERT_TRUE(platform::win32::SearchSystem32Only());
    const UniqueModule bare(::LoadLibraryW(L"tarnwick-planted.dll"));
    EXPECT_FALSE(bare);
}

}  // namespace
