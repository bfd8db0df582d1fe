// The stand-in's network profile: which local device is connected to which
// share, remembered in the state directory across processes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
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
    // Both write the whole profile atomically, holding the profile's lock
    // from reading it to replacing it, so that the changes of processes
    // working side by side all land; 0 or a Win32 error code.
    uint32_t Set(const std::string& device, const Connection& connection);
    uint32_t Remove(const std::string& device);

  private:
    using Entries = std::map<std::string, std::pair<std::string, Connection>>;  // folded name
    static Entries Load(const std::filesystem::path& file);
    // Applies `change` (false: nothing changed) to what the file holds now.
    uint32_t Update(const std::function<bool(Entries&)>& change);

    std::filesystem::path file_;
    Entries entries_;
};

}  // namespace platform::standin
