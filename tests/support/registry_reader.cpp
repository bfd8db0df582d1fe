#include "support/registry_reader.h"

#include <vector>

#include "platform/platform.h"

namespace testsupport {

std::optional<StoredValue> ReadValue(platform::RegKey root, const std::string& key,
                                     const std::string& name) {
    auto* registry = &platform::Current().registry();
    platform::RegKey handle = 0;
    if (registry->OpenKey(root, key, &handle) != 0) {
        return std::nullopt;
    }
    StoredValue value;
    uint32_t size = 0;
    std::optional<StoredValue> result;
    if (registry->QueryValue(handle, name, &value.type, nullptr, &size) == 0) {
        std::vector<uint8_t> buffer(size + 1);
        if (registry->QueryValue(handle, name, &value.type, buffer.data(), &size) == 0) {
            value.data.assign(reinterpret_cast<const char*>(buffer.data()), size);
            result = value;
        }
    }
    registry->CloseKey(handle);
    return result;
}

std::optional<std::string> ReadString(platform::RegKey root, const std::string& key,
                                      const std::string& name) {
    auto value = ReadValue(root, key, name);
    if (!value || value->type != platform::kRegSz) {
        return std::nullopt;
    }
    if (!value->data.empty() && value->data.back() == '\0') {
        value->data.pop_back();
    }
    return value->data;
}

std::optional<uint32_t> ReadDword(platform::RegKey root, const std::string& key,
                                  const std::string& name) {
    const auto value = ReadValue(root, key, name);
    if (!value || value->type != platform::kRegDword || value->data.size() != 4) {
        return std::nullopt;
    }
    uint32_t result = 0;
    for (int i = 3; i >= 0; --i) {
        result = (result << 8) | static_cast<uint8_t>(value->data[static_cast<size_t>(i)]);
    }
    return result;
}

void WriteValue(platform::RegKey root, const std::string& key, const std::string& name,
                uint32_t type, const std::string& data) {
    auto* registry = &platform::Current().registry();
    platform::RegKey handle = 0;
    if (registry->CreateKey(root, key, &handle) != 0) {
        return;
    }
    registry->SetValue(handle, name, type, reinterpret_cast<const uint8_t*>(data.data()),
                       static_cast<uint32_t>(data.size()));
    registry->CloseKey(handle);
}

}  // namespace testsupport
