#include "script/registry.h"

#include "core/exceptions.h"
#include "platform/errors.h"
#include "platform/platform.h"

namespace script {

namespace {

constexpr const char* kSetFailed = "Failed to set data for '%s'";
constexpr const char* kGetFailed = "Failed to get data for '%s'";
constexpr const char* kInvalidType = "Invalid data type for '%s'";
constexpr uint32_t kDwordBytes = 4;

platform::Registry& Api() {
    return platform::Current().registry();
}

}  // namespace

TRegDataType DataTypeOf(uint32_t type) {
    switch (type) {
        case platform::kRegSz:
            return TRegDataType::rdString;
        case platform::kRegExpandSz:
            return TRegDataType::rdExpandString;
        case platform::kRegDword:
            return TRegDataType::rdInteger;
        case platform::kRegBinary:
            return TRegDataType::rdBinary;
        default:
            return TRegDataType::rdUnknown;
    }
}

TRegistry::TRegistry() = default;

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(platform::RegKey root) {
    if (root != rootKey_) {
        CloseKey();
        rootKey_ = root;
    }
}

void TRegistry::CloseKey() {
    if (hasCurrentKey_) {
        Api().CloseKey(currentKey_);
        hasCurrentKey_ = false;
        currentKey_ = 0;
    }
}

bool TRegistry::OpenKey(const std::string& path) {
    platform::Registry& api = Api();
    const std::string subKey = !path.empty() && path.front() == '\\' ? path.substr(1) : path;
    platform::RegKey key = 0;
    const uint32_t rc = subKey.empty() ? api.OpenKey(rootKey_, subKey, &key)
                                       : api.CreateKey(rootKey_, subKey, &key);
    if (rc != platform::kErrorSuccess) {
        return false;
    }
    CloseKey();
    currentKey_ = key;
    hasCurrentKey_ = true;
    return true;
}

void TRegistry::PutData(const std::string& name, uint32_t type, const uint8_t* data,
                        uint32_t size) {
    if (Api().SetValue(currentKey_, name, type, data, size) != 0) {
        throw core::ERegistryException(core::Format(kSetFailed, name));
    }
}

void TRegistry::WriteString(const std::string& name, const std::string& text) {
    // The text and one terminating zero byte.
    PutData(name, platform::kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
            static_cast<uint32_t>(text.size() + 1));
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    uint8_t bytes[kDwordBytes];
    for (uint32_t i = 0; i < kDwordBytes; ++i) {
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));  // little-endian, as Windows stores it
    }
    PutData(name, platform::kRegDword, bytes, kDwordBytes);
}

void TRegistry::WriteBinaryData(const std::string& name, const std::string& bytes) {
    PutData(name, platform::kRegBinary, reinterpret_cast<const uint8_t*>(bytes.data()),
            static_cast<uint32_t>(bytes.size()));
}

int32_t TRegistry::ReadInteger(const std::string& name) {
    uint8_t bytes[kDwordBytes] = {};
    uint32_t type = platform::kRegNone;
    uint32_t size = kDwordBytes;
    if (Api().QueryValue(currentKey_, name, &type, bytes, &size) != 0) {
        throw core::ERegistryException(core::Format(kGetFailed, name));
    }
    if (DataTypeOf(type) != TRegDataType::rdInteger) {
        throw core::ERegistryException(core::Format(kInvalidType, name));
    }
    uint32_t bits = 0;
    for (uint32_t i = 0; i < kDwordBytes; ++i) {
        bits |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    }
    return static_cast<int32_t>(bits);
}

bool TRegistry::ValueExists(const std::string& name) {
    uint32_t type = platform::kRegNone;
    uint32_t size = 0;
    return Api().QueryValue(currentKey_, name, &type, nullptr, &size) == 0;
}

bool TRegistry::DeleteValue(const std::string& name) {
    return Api().DeleteValue(currentKey_, name) == 0;
}

}  // namespace script
