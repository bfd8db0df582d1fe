// What every stand-in service shares: the state directory, the network
// profile and the path mapping.
#pragma once
#include <filesystem>

#include "platform/standin/connections.h"
#include "platform/standin/paths.h"

namespace platform::standin {

struct Context {
    // `inspect`: the workstation is only looked at, and nothing of it is
    // made or changed, not even the files of an empty registry.
    explicit Context(std::filesystem::path dir, bool inspect = false)
        : stateDir(std::move(dir)),
          inspectOnly(inspect),
          connections(stateDir / "profile" / "connections"),
          paths(stateDir, connections) {}

    std::filesystem::path stateDir;
    bool inspectOnly = false;
    ConnectionStore connections;
    PathResolver paths;
};

}  // namespace platform::standin
