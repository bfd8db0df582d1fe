#include "platform/standin/network.h"

#include <cctype>
#include <vector>

#include "platform/errors.h"
#include "platform/names.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/identity.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace {

namespace fs = std::filesystem;

}  // namespace

// Connections are made with the logged-on user's own credentials, so the
// process and every device that is local or connected report that user.
Win32Error StandinNetwork::GetUser(const std::string& localName, uint32_t bufferSize,
                                   std::string* user) {
    const Identity identity = ReadIdentity(context_.stateDir);
    if (identity.userError != 0) {
        return identity.userError;
    }
    const DeviceKind kind = ClassifyDevice(localName);
    const bool known = kind == DeviceKind::kNone || IsRemoteName(localName) ||
                       context_.connections.Find(localName).has_value() ||
                       (kind == DeviceKind::kDrive && LocalDriveExists(localName[0]));
    if (!known) {
        return kErrorNotConnected;
    }
    // WNetGetUser fails with ERROR_MORE_DATA when the name and its NUL do
    // not fit the buffer, counted in UTF-16 code units.
    if (Utf16Length(identity.user) + 1 > bufferSize) {
        return kErrorMoreData;
    }
    *user = identity.user;
    return kErrorSuccess;
}

// The stand-in's session is its profile: every connection of a device is
// remembered, with CONNECT_UPDATE_PROFILE or without; and no file is ever
// held open on a share, so `force` changes nothing.
Win32Error StandinNetwork::CancelConnection(const std::string& name, uint32_t, bool) {
    // A remote name cancels only the deviceless connections to it, as on
    // Windows; a drive connected to the same share stays.
    if (IsRemoteName(name)) {
        return deviceless_.erase(FoldCase(name)) > 0 ? kErrorSuccess : kErrorNotConnected;
    }
    // A device without a connection (a local disk such as C:, an unknown
    // name, the empty name) gives ERROR_NOT_CONNECTED.
    if (name.empty() || !context_.connections.Find(name)) {
        return kErrorNotConnected;
    }
    // The profile could not be written: ERROR_CANNOT_OPEN_PROFILE, and the
    // connection stays.
    if (context_.connections.Remove(name) != kErrorSuccess) {
        return kErrorCannotOpenProfile;
    }
    return kErrorSuccess;
}

Win32Error StandinNetwork::AddConnection(const NetResource& resource, uint32_t) {
    // The system connects drives and printers only.
    if (resource.type != kResourceTypeDisk && resource.type != kResourceTypePrint) {
        return kErrorInvalidParameter;
    }
    const std::string& local = resource.localName;
    const DeviceKind kind = ClassifyDevice(local);
    if (kind == DeviceKind::kInvalid) {
        return kErrorBadDevice;
    }
    if (kind != DeviceKind::kNone) {
        const DeviceKind wanted =
            resource.type == kResourceTypeDisk ? DeviceKind::kDrive : DeviceKind::kPrinterPort;
        if (kind != wanted) {
            return kErrorBadDevType;
        }
        // A device already connected, or a drive letter that is a local
        // disk, is taken: ERROR_ALREADY_ASSIGNED.
        if (context_.connections.Find(local) ||
            (kind == DeviceKind::kDrive && LocalDriveExists(local[0]))) {
            return kErrorAlreadyAssigned;
        }
    }
    if (const uint32_t result = CheckRemote(resource.remoteName, resource.type);
        result != kErrorSuccess) {
        return result;
    }
    if (kind == DeviceKind::kNone) {
        // A deviceless connection succeeds but is never remembered.
        deviceless_.insert(FoldCase(resource.remoteName));
        return kErrorSuccess;
    }
    if (context_.connections.Set(local, Connection{resource.type, resource.remoteName}) !=
        kErrorSuccess) {
        return kErrorCannotOpenProfile;
    }
    return kErrorSuccess;
}

// Only a device remembered in the profile has a connection to tell; the
// deviceless ones have no local name.
Win32Error StandinNetwork::GetConnection(const std::string& localName, std::string* remoteName) {
    const auto connection = context_.connections.Find(localName);
    if (localName.empty() || !connection) {
        return kErrorNotConnected;
    }
    *remoteName = connection->remoteName;
    return kErrorSuccess;
}

// An unknown server gives ERROR_BAD_NETPATH; a malformed name or a share
// that the server does not have gives ERROR_BAD_NET_NAME. A drive may be
// connected to a share or to a folder inside it; a printer only to a share
// itself.
uint32_t StandinNetwork::CheckRemote(const std::string& remoteName, uint32_t type) const {
    const std::vector<std::string> parts = UncComponents(remoteName);
    if (parts.size() < 2) {
        return kErrorBadNetName;
    }
    fs::path share;
    if (const uint32_t rc = FindShare(context_.stateDir, parts[0], parts[1], &share);
        rc != kErrorSuccess) {
        return rc;
    }
    std::error_code ec;
    if (type == kResourceTypePrint) {
        return parts.size() == 2 ? kErrorSuccess : kErrorBadNetName;
    }
    if (!fs::is_directory(share, ec)) {
        return kErrorBadDevType;  // a printer share cannot be a drive
    }
    fs::path target = share;
    for (size_t i = 2; i < parts.size(); ++i) {
        target = JoinIgnoringCase(target, parts[i]);
    }
    return fs::is_directory(target, ec) ? kErrorSuccess : kErrorBadNetName;
}

bool StandinNetwork::LocalDriveExists(char letter) const {
    std::error_code ec;
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    return fs::is_directory(context_.stateDir / "drives" / std::string(1, lower), ec);
}

}  // namespace platform::standin
