#include "core/registry.h"

#include "core/exceptions.h"
#include "platform/errors.h"
#include "platform/reg_key.h"

namespace core {

namespace {

constexpr const char* kSetFailed = "Failed to set data for '%s'";
constexpr const char* kGetFailed = "Failed to get data for '%s'";
constexpr const char* kInvalidType = "Invalid data type for '%s'";
constexpr uint32_t kDwordBytes = 4;

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

TRegistry::TRegistry(platform::Registry& api) : api_(api) {}

TRegistry::~TRegistry() = default;

platform::Registry& TRegistry::Api() const {
    return currentKey_ ? *currentKey_.registry() : api_;
}

void TRegistry::SetRootKey(platform::RegKey root) {
    if (root != rootKey_) {
        CloseKey();
        rootKey_ = root;
    }
}

void TRegistry::CloseKey() {
    currentKey_.reset();
}

bool TRegistry::OpenKey(const std::string& path) {
    platform::Registry& api = api_;
    const std::string subKey = !path.empty() && path.front() == '\\' ? path.substr(1) : path;
    // The new key is opened before the current one is closed.
    const platform::Win32Error rc =
        subKey.empty() ? platform::OpenRegKey(api, rootKey_, subKey, &currentKey_)
                       : platform::CreateRegKey(api, rootKey_, subKey, &currentKey_);
    return rc == platform::kErrorSuccess;
}

void TRegistry::CheckWrite(platform::Win32Error rc, const std::string& name) {
    core::ThrowIfFailed<core::ERegistryException>(rc, kSetFailed, name);
}

void TRegistry::WriteString(const std::string& name, const std::string& text) {
    CheckWrite(platform::WriteRegString(Api(), CurrentKey(), name, text), name);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
    CheckWrite(platform::WriteRegDword(Api(), CurrentKey(), name, static_cast<uint32_t>(value)),
               name);
}

void TRegistry::WriteBinaryData(const std::string& name, const std::string& bytes) {
    CheckWrite(platform::WriteRegValue(Api(), CurrentKey(), name, platform::kRegBinary, bytes),
               name);
}

int32_t TRegistry::ReadInteger(const std::string& name) {
    uint8_t bytes[kDwordBytes] = {};
    uint32_t type = platform::kRegNone;
    uint32_t size = kDwordBytes;
    ThrowIfFailed<ERegistryException>(Api().QueryValue(CurrentKey(), name, &type, bytes, &size),
                                      kGetFailed, name);
    if (DataTypeOf(type) != TRegDataType::rdInteger) {
        throw core::ERegistryException(core::Format(kInvalidType, name));
    }
    return static_cast<int32_t>(
        platform::DwordOf(std::string_view(reinterpret_cast<const char*>(bytes), kDwordBytes)));
}

bool TRegistry::ValueExists(const std::string& name) {
    uint32_t type = platform::kRegNone;
    uint32_t size = 0;
    return Api().QueryValue(CurrentKey(), name, &type, nullptr, &size) == 0;
}

std::vector<std::string> TRegistry::GetValueNames() {
    std::vector<std::string> names;
    std::string name;
    for (uint32_t index = 0; Api().EnumValue(CurrentKey(), index, &name) == 0; ++index) {
        names.push_back(name);
    }
    return names;
}

bool TRegistry::DeleteValue(const std::string& name) {
    return Api().DeleteValue(CurrentKey(), name) == 0;
}

}  // namespace core
