// The stand-in's network profile: which local device is connected to which
// share, remembered in the state directory across processes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace platform::standin {

struct Connection {
    uint32_t type = 0;  // resource type: 1 disk, 2 printer
    std::string remoteName;
};

class ConnectionStore {
public:
    explicit ConnectionStore(std::filesystem::path file);

    // The connection of a local device (compared ignoring case), if any.
    std::optional<Connection> Find(const std::string& device) const;
    // Both write the whole profile atomically; 0 or a Win32 error code.
    uint32_t Set(const std::string& device, const Connection& connection);
    uint32_t Remove(const std::string& device);

private:
    uint32_t Save() const;
    std::filesystem::path file_;
    std::map<std::string, std::pair<std::string, Connection>> entries_;  // folded name
};

}  // namespace platform::standin
