// What every stand-in service shares: the state directory, the users'
// HKEY_CURRENT_USER stores, the network connections kept in them and the
// path mapping.
#pragma once
#include <filesystem>

#include "platform/standin/connections.h"
#include "platform/standin/paths.h"
#include "platform/standin/user_stores.h"

namespace platform::standin {

struct Context {
    // `inspect`: the workstation is only looked at, and nothing of it is
    // made or changed, not even the files of an empty registry.
    explicit Context(std::filesystem::path dir, bool inspect = false)
        : stateDir(std::move(dir)),
          inspectOnly(inspect),
          userStores(stateDir, inspectOnly),
          connections(userStores, stateDir / "profile", inspectOnly),
          paths(stateDir, connections) {}

    std::filesystem::path stateDir;
    bool inspectOnly = false;
    UserStores userStores;
    ConnectionStore connections;
    PathResolver paths;
};

}  // namespace platform::standin
