// What every stand-in service shares: the state directory, the network
// profile and the path mapping.
#pragma once
#include <filesystem>

#include "platform/standin/connections.h"
#include "platform/standin/paths.h"

namespace platform::standin {

struct Context {
    explicit Context(std::filesystem::path dir)
        : stateDir(std::move(dir)),
          connections(stateDir / "profile" / "connections"),
          paths(stateDir, connections) {}

    std::filesystem::path stateDir;
    ConnectionStore connections;
    PathResolver paths;
};

}  // namespace platform::standin
