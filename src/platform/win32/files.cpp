#include "platform/win32/files.h"

#include "platform/win32/handles.h"
#include "platform/win32/last_error.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

Win32Error Win32Files::ReadWholeFile(const std::string& path, std::string* contents) {
    UniqueFile file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return LastErrorOr(ERROR_OPEN_FAILED);
    }
    std::string data;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
            return LastErrorOr(ERROR_READ_FAULT);
        }
        if (read == 0) {
            break;
        }
        data.append(buffer, read);
    }
    *contents = std::move(data);
    return ERROR_SUCCESS;
}

Win32Error Win32Files::FindFirst(const std::string& path, bool* isDirectory) {
    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileW(Wide(path).c_str(), &data));
    if (!find) {
        return LastErrorOr(ERROR_FILE_NOT_FOUND);
    }
    *isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return ERROR_SUCCESS;
}

Win32Error Win32Files::CopyFileW(const std::string& existing, const std::string& target,
                                 bool failIfExists) {
    if (!::CopyFileW(Wide(existing).c_str(), Wide(target).c_str(), failIfExists ? TRUE : FALSE)) {
        return LastErrorOr(ERROR_WRITE_FAULT);
    }
    return ERROR_SUCCESS;
}

uint32_t Win32Files::GetFileAttributesW(const std::string& path) {
    return ::GetFileAttributesW(Wide(path).c_str());
}

Win32Error Win32Files::CreateDirectoryW(const std::string& path) {
    if (!::CreateDirectoryW(Wide(path).c_str(), nullptr)) {
        return LastErrorOr(ERROR_WRITE_FAULT);
    }
    return ERROR_SUCCESS;
}

Win32Error Win32Files::GetLastWriteTime(const std::string& path, FileTime* time) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
        return LastErrorOr(ERROR_FILE_NOT_FOUND);
    }
    FILETIME local{};
    SYSTEMTIME st{};
    if (!::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !::FileTimeToSystemTime(&local, &st)) {
        return LastErrorOr(ERROR_INVALID_PARAMETER);
    }
    *time = FileTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    return ERROR_SUCCESS;
}

}  // namespace platform::win32
