// Reads registry values straight through the platform, to check what the
// system left behind.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace testsupport {

struct StoredValue {
    uint32_t type = 0;
    std::string data;
};

std::optional<StoredValue> ReadValue(platform::RegKey root, const std::string& key,
                                     const std::string& name);
std::optional<std::string> ReadString(platform::RegKey root, const std::string& key,
                                      const std::string& name);
std::optional<uint32_t> ReadDword(platform::RegKey root, const std::string& key,
                                  const std::string& name);
// Writes a value, creating the key.
void WriteValue(platform::RegKey root, const std::string& key, const std::string& name,
                uint32_t type, const std::string& data);

}  // namespace testsupport
