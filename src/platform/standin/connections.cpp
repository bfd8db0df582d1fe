#include "platform/standin/connections.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "platform/errors.h"
#include "platform/network.h"
#include "platform/reg_key.h"
#include "platform/registry.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/state.h"
#include "platform/standin/unique_fd.h"

namespace platform::standin {

namespace {

// A remembered connection of Windows lies in the user's hive as
// HKEY_CURRENT_USER\Network\<drive letter> (Microsoft's KB 102979 on the
// user preference entries of the registry), its values as the Windows 2000 registry
// reference gives them: RemotePath, the share's UNC name
// (https://learn.microsoft.com/en-us/previous-versions/windows/it-pro/windows-2000-server/cc957214(v=technet.10));
// ProviderType, 0x20000 for the Microsoft LanMan provider
// (https://learn.microsoft.com/en-us/previous-versions/windows/it-pro/windows-2000-server/cc957213(v=technet.10));
// ProviderName, that provider's name; ConnectionType, the resource type
// (1 a drive, 2 a printer); UserName empty and DeferFlags 4 for a connection made with the
// logged-on user's own credentials, as every stand-in connection is;
// ConnectFlags 0.
const char* const kNetworkKey = "Network";
const char* const kRemotePath = "RemotePath";
const char* const kConnectionType = "ConnectionType";
const char* const kProviderName = "ProviderName";
const char* const kProviderType = "ProviderType";
const char* const kUserName = "UserName";
const char* const kDeferFlags = "DeferFlags";
const char* const kConnectFlags = "ConnectFlags";
constexpr const char* kMicrosoftNetwork = "Microsoft Windows Network";
constexpr uint32_t kLanmanProvider = 0x20000;
constexpr uint32_t kOwnCredentials = 4;

const char* const kSharedFile = "connections";

std::string SzData(const std::string& text) {
    return text + std::string(1, '\0');
}

// A connection read back from its key's values: none without a RemotePath
// (a key whose writing a crash cut short, or not a connection at all).
std::optional<Connection> FromValues(const std::vector<RegStore::StoredValue>& values) {
    std::optional<Connection> connection;
    uint32_t type = kResourceTypeDisk;  // Windows' default for ConnectionType
    for (const RegStore::StoredValue& value : values) {
        if (SameText(value.name, kRemotePath) &&
            (value.type == kRegSz || value.type == kRegExpandSz)) {
            connection = Connection{0, std::string(value.data.c_str())};
        } else if (SameText(value.name, kConnectionType) && value.type == kRegDword &&
                   value.data.size() == 4) {
            type = DwordOf(value.data);
        }
    }
    if (connection) {
        connection->type = type;
    }
    return connection;
}

std::optional<Connection> FindEntry(const ConnectionStore::Entries& entries,
                                    const std::string& device) {
    const auto it = entries.find(FoldCase(device));
    if (it == entries.end()) {
        return std::nullopt;
    }
    return it->second.second;
}

// The lines of the shared file of old: device, tab, resource type, tab,
// remote name; a later line of a device wins.
ConnectionStore::Entries ParseShared(const std::string& text) {
    ConnectionStore::Entries entries;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const auto tab1 = line.find('\t');
        const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) {
            continue;  // a torn or foreign line: not a connection
        }
        Connection connection;
        connection.type = static_cast<uint32_t>(std::strtoul(line.c_str() + tab1 + 1, nullptr, 10));
        connection.remoteName = line.substr(tab2 + 1);
        const std::string device = line.substr(0, tab1);
        entries[FoldCase(device)] = {device, connection};
    }
    return entries;
}

// The key of a device below the user's root: Network\<letter> for a drive
// "S:", Network\<name> for a port such as LPT1; false for a name that
// cannot be a key or would meet a drive's key.
bool DeviceKey(const std::string& device, KeyPath* key) {
    std::string name = device;
    if (name.size() == 2 && name[1] == ':') {
        name.pop_back();  // a drive's key is its letter
    } else if (name.size() == 1) {
        return false;  // "S" names no device, yet would be drive S:'s key
    }
    if (name.empty() || name.find_first_of("\\\r\n") != std::string::npos ||
        name.find('\0') != std::string::npos) {
        return false;
    }
    *key = {kNetworkKey, name};
    return true;
}

// The values Windows writes for a connection, the one that tells the key is
// whole (RemotePath) last.
std::vector<RegStore::StoredValue> ConnectionValues(const Connection& connection) {
    return {
        {kConnectionType, kRegDword, DwordBytes(connection.type)},
        {kConnectFlags, kRegDword, DwordBytes(0)},
        {kDeferFlags, kRegDword, DwordBytes(kOwnCredentials)},
        {kProviderName, kRegSz, SzData(kMicrosoftNetwork)},
        {kProviderType, kRegDword, DwordBytes(kLanmanProvider)},
        {kUserName, kRegSz, SzData("")},
        {kRemotePath, kRegSz, SzData(connection.remoteName)},
    };
}

}  // namespace

ConnectionStore::ConnectionStore(UserStores& users, std::filesystem::path profileDir,
                                 bool inspectOnly)
    : users_(users),
      shared_(profileDir / kSharedFile),
      profileDir_(std::move(profileDir)),
      inspectOnly_(inspectOnly) {}

std::optional<Connection> ConnectionStore::Find(const std::string& device) const {
    KeyPath key;
    if (!DeviceKey(device, &key)) {
        return std::nullopt;
    }
    std::string user;
    RegStore& store = Store(&user);
    std::vector<RegStore::StoredValue> values;
    if (store.ReadValues(key, &values) == kErrorSuccess) {
        if (auto connection = FromValues(values)) {
            return connection;
        }
    }
    if (inspectOnly_) {
        return FindEntry(Foreseen(user), device);
    }
    return std::nullopt;
}

uint32_t ConnectionStore::Set(const std::string& device, const Connection& connection) {
    KeyPath key;
    if (inspectOnly_) {
        return kErrorAccessDenied;
    }
    if (!DeviceKey(device, &key)) {
        return kErrorBadDevice;
    }
    std::string user;
    return Store(&user).WriteKey(key, ConnectionValues(connection));
}

uint32_t ConnectionStore::Remove(const std::string& device) {
    KeyPath key;
    if (inspectOnly_) {
        return kErrorAccessDenied;
    }
    if (!DeviceKey(device, &key)) {
        return kErrorSuccess;  // no such key, so no such connection
    }
    std::string user;
    const uint32_t rc = Store(&user).DeleteKey(key);
    return rc == kErrorFileNotFound ? kErrorSuccess : rc;
}

RegStore& ConnectionStore::Store(std::string* user) const {
    RegStore& store = users_.Current(user);
    if (!inspectOnly_ && takenOver_.insert(FoldCase(*user)).second) {
        TakeOver(store, *user);
    }
    return store;
}

std::filesystem::path ConnectionStore::PendingFile(const std::string& user) const {
    return profileDir_ / (std::string(kSharedFile) + "." + UserStores::FileName(user) + ".pending");
}

void ConnectionStore::TakeOver(RegStore& store, const std::string& user) const {
    const auto pending = PendingFile(user);
    // Only one process takes the shared file, and one of this user's that a
    // crash left stays as it is.
    RenameWithoutReplacing(shared_, pending);
    UniqueFd fd(::open(pending.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        return;
    }
    // Two processes of the user may take it over at once: the second waits
    // and finds the file gone, so that it never adds again a connection
    // that the first has added and its script removed meanwhile.
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return;
        }
    }
    struct stat st {};
    std::string text;
    if (::fstat(fd.get(), &st) != 0 || st.st_nlink == 0 || !ReadHostFile(pending, &text)) {
        return;
    }
    // A connection the user has already stays as it is.
    const std::string remotePath = kRemotePath;
    for (const auto& [folded, entry] : ParseShared(text)) {
        KeyPath key;
        if (!DeviceKey(entry.first, &key)) {
            continue;
        }
        const uint32_t rc = store.WriteKey(key, ConnectionValues(entry.second), &remotePath);
        if (rc != kErrorSuccess && rc != kErrorAlreadyExists) {
            return;  // tried again at the next use
        }
    }
    ::unlink(pending.c_str());
}

const ConnectionStore::Entries& ConnectionStore::Foreseen(const std::string& user) const {
    const auto [it, inserted] = foreseen_.try_emplace(FoldCase(user));
    if (inserted) {
        // A file a crash left is what the first use takes over; else the
        // shared file.
        std::string text;
        if (ReadHostFile(PendingFile(user), &text) || ReadHostFile(shared_, &text)) {
            it->second = ParseShared(text);
        }
    }
    return it->second;
}

}  // namespace platform::standin
