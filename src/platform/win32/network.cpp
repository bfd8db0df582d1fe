#include "platform/win32/network.h"

#include <windows.h>
#include <winnetwk.h>

#include <vector>

#include "platform/win32/wide.h"

namespace platform::win32 {

// The WNet functions return their error code; Windows also leaves it as the
// thread's last error, but Wine leaves the last error at 0, so the call's
// own result is what is reported (the same number on Windows).

Win32Error Win32Network::GetUser(const std::string& localName, uint32_t bufferSize,
                                 std::string* user) {
    std::vector<wchar_t> buffer(bufferSize + 1, L'\0');
    DWORD size = bufferSize;
    const DWORD rc = ::WNetGetUserW(Wide(localName).c_str(), buffer.data(), &size);
    if (rc == NO_ERROR) {
        *user = Narrow(buffer.data());
    }
    return rc;
}

Win32Error Win32Network::CancelConnection(const std::string& name, uint32_t flags, bool force) {
    return ::WNetCancelConnection2W(Wide(name).c_str(), flags, force ? TRUE : FALSE);
}

Win32Error Win32Network::AddConnection(const NetResource& resource, uint32_t flags) {
    std::wstring local = Wide(resource.localName);
    std::wstring remote = Wide(resource.remoteName);
    NETRESOURCEW record{};
    record.dwScope = resource.scope;
    record.dwType = resource.type;
    record.dwDisplayType = resource.displayType;
    record.dwUsage = resource.usage;
    record.lpLocalName = local.data();
    record.lpRemoteName = remote.data();
    record.lpComment = nullptr;
    record.lpProvider = nullptr;
    return ::WNetAddConnection2W(&record, nullptr, nullptr, flags);
}

Win32Error Win32Network::GetConnection(const std::string& localName, std::string* remoteName) {
    const std::wstring local = Wide(localName);
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD rc = ::WNetGetConnectionW(local.c_str(), buffer.data(), &size);
    if (rc == ERROR_MORE_DATA) {
        buffer.assign(size + 1, L'\0');
        rc = ::WNetGetConnectionW(local.c_str(), buffer.data(), &size);
    }
    if (rc == NO_ERROR) {
        *remoteName = Narrow(buffer.data());
    }
    return rc;
}

}  // namespace platform::win32
