// The stand-in's remembered network connections: each user's own, kept in
// his HKEY_CURRENT_USER store (user_stores.h) under Network\<device>, with
// the values Windows writes there, so that the store imports into a real
// registry with the user's drives. The user is the one logged on at the
// moment of each call.
//
// Connections from the times when one file, <state>/profile/connections,
// held those of every user are taken over once, by the first user whose
// process uses the connections: the file is renamed to one of his own
// (never replacing one), its connections that he lacks are added, and the
// renamed file is removed; one a crash left behind is taken over at the
// next use. A workstation only looked at (inspect) is never changed: its
// user sees then, besides his own connections, those that the first use
// would take over.
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/standin/reg_store.h"
#include "platform/standin/user_stores.h"

namespace platform::standin {

struct Connection {
    uint32_t type = 0;  // resource type: 1 disk, 2 printer
    std::string remoteName;
};

class ConnectionStore {
  public:
    // `profileDir`: where the shared file of old lies (<state>/profile).
    ConnectionStore(UserStores& users, std::filesystem::path profileDir, bool inspectOnly);

    // The connection of a local device (compared ignoring case), if any.
    std::optional<Connection> Find(const std::string& device) const;
    // Each is one change of the user's store, whole or absent after a
    // crash, and lands beside those of processes working at once; 0 or a
    // Win32 error code (ERROR_ACCESS_DENIED on a workstation only looked at).
    uint32_t Set(const std::string& device, const Connection& connection);
    uint32_t Remove(const std::string& device);

    // The connections of the shared file of old, by folded device.
    using Entries = std::map<std::string, std::pair<std::string, Connection>>;

  private:
    // The user's store, his connections of old taken over first.
    RegStore& Store(std::string* user) const;
    void TakeOver(RegStore& store, const std::string& user) const;
    std::filesystem::path PendingFile(const std::string& user) const;
    // Inspect: what the first use would take over for `user`.
    const Entries& Foreseen(const std::string& user) const;

    UserStores& users_;
    std::filesystem::path shared_;
    std::filesystem::path profileDir_;
    bool inspectOnly_;
    mutable std::set<std::string> takenOver_;          // folded users, this process
    mutable std::map<std::string, Entries> foreseen_;  // by folded user
};

}  // namespace platform::standin
