#include "support/registry_reader.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/reg_key.h"

namespace testsupport {

std::optional<StoredValue> ReadValue(platform::RegKey root, const std::string& key,
                                     const std::string& name) {
    platform::RegValue value;
    if (platform::ReadRegValue(platform::Current().registry(), root, key, name, &value) !=
        platform::kErrorSuccess) {
        return std::nullopt;
    }
    return StoredValue{value.type, std::move(value.data)};
}

std::optional<std::string> ReadString(platform::RegKey root, const std::string& key,
                                      const std::string& name) {
    std::string text;
    if (platform::ReadRegString(platform::Current().registry(), root, key, name, &text) !=
        platform::kErrorSuccess) {
        return std::nullopt;
    }
    return text;
}

std::optional<uint32_t> ReadDword(platform::RegKey root, const std::string& key,
                                  const std::string& name) {
    uint32_t number = 0;
    if (platform::ReadRegDword(platform::Current().registry(), root, key, name, &number) !=
        platform::kErrorSuccess) {
        return std::nullopt;
    }
    return number;
}

void WriteValue(platform::RegKey root, const std::string& key, const std::string& name,
                uint32_t type, const std::string& data) {
    const platform::Win32Error rc =
        platform::WriteRegValue(platform::Current().registry(), root, key, name, type, data);
    // A test's own setup that does not take is a broken test, not a result.
    EXPECT_EQ(rc, platform::kErrorSuccess) << "writing " << key << "\\" << name;
}

}  // namespace testsupport
