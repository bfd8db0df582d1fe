// TRegistry: the registry access object. It keeps one root key and at most
// one open key, the current key, on which every value operation acts.
#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace script {

// How a stored value's type is classified when it is read back.
enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

TRegDataType DataTypeOf(uint32_t type);

class TRegistry {
  public:
    // Root HKEY_CURRENT_USER, no key open.
    TRegistry();
    // Closes the current key.
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    platform::RegKey RootKey() const { return rootKey_; }
    // A different root closes the current key first; the same root changes
    // nothing.
    void SetRootKey(platform::RegKey root);

    bool HasCurrentKey() const { return hasCurrentKey_; }
    platform::RegKey CurrentKey() const { return currentKey_; }

    // Opens `path` below the root, creating the keys that are missing. One
    // leading backslash is taken off; an empty rest opens the root itself
    // and creates nothing. On success the new key replaces the current one;
    // on failure nothing changes and the result is false.
    bool OpenKey(const std::string& path);
    void CloseKey();

    // Writes into the current key; a refusal raises ERegistryException
    // "Failed to set data for '<name>'".
    void WriteString(const std::string& name, const std::string& text);
    void WriteInteger(const std::string& name, int32_t value);
    void WriteBinaryData(const std::string& name, const std::string& bytes);

    // The DWORD `name` of the current key. A value that cannot be read into
    // four bytes raises "Failed to get data for '<name>'", one of another
    // type "Invalid data type for '<name>'" (both ERegistryException).
    int32_t ReadInteger(const std::string& name);
    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);

  private:
    void PutData(const std::string& name, uint32_t type, const uint8_t* data, uint32_t size);

    platform::RegKey rootKey_ = platform::kHkeyCurrentUser;
    platform::RegKey currentKey_ = 0;
    bool hasCurrentKey_ = false;
};

}  // namespace script
