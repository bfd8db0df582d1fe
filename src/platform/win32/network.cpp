#include "platform/win32/network.h"

#include <windows.h>
#include <winnetwk.h>

#include <vector>

namespace platform::win32 {

// The WNet functions return their error code; Windows also leaves it as the
// thread's last error, but Wine leaves the last error at 0, so the call's
// own result is what is reported (the same number on Windows).

Win32Error Win32Network::GetUser(const std::string& localName, uint32_t bufferSize,
                                 std::string* user) {
    std::vector<char> buffer(bufferSize + 1, '\0');
    DWORD size = bufferSize;
    const DWORD rc = ::WNetGetUserA(localName.c_str(), buffer.data(), &size);
    if (rc == NO_ERROR) {
        *user = std::string(buffer.data());
    }
    return rc;
}

Win32Error Win32Network::CancelConnection(const std::string& name, uint32_t flags, bool force) {
    return ::WNetCancelConnection2A(name.c_str(), flags, force ? TRUE : FALSE);
}

Win32Error Win32Network::AddConnection(const NetResource& resource, uint32_t flags) {
    std::string local = resource.localName;
    std::string remote = resource.remoteName;
    NETRESOURCEA record{};
    record.dwScope = resource.scope;
    record.dwType = resource.type;
    record.dwDisplayType = resource.displayType;
    record.dwUsage = resource.usage;
    record.lpLocalName = local.data();
    record.lpRemoteName = remote.data();
    record.lpComment = nullptr;
    record.lpProvider = nullptr;
    return ::WNetAddConnection2A(&record, nullptr, nullptr, flags);
}

Win32Error Win32Network::GetConnection(const std::string& localName, std::string* remoteName) {
    std::vector<char> buffer(MAX_PATH + 1, '\0');
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD rc = ::WNetGetConnectionA(localName.c_str(), buffer.data(), &size);
    if (rc == ERROR_MORE_DATA) {
        buffer.assign(size + 1, '\0');
        rc = ::WNetGetConnectionA(localName.c_str(), buffer.data(), &size);
    }
    if (rc == NO_ERROR) {
        *remoteName = std::string(buffer.data());
    }
    return rc;
}

}  // namespace platform::win32
