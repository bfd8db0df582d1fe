// TRegistry: the registry access object. It keeps one root key and at most
// one open key, the current key, on which every value operation acts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/reg_key.h"
#include "platform/registry.h"

namespace core {

// How a stored value's type is classified when it is read back.
enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

TRegDataType DataTypeOf(uint32_t type);

class TRegistry {
  public:
    // Root HKEY_CURRENT_USER, no key open; every key is opened on `api`.
    explicit TRegistry(platform::Registry& api);
    // Closes the current key.
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    platform::RegKey RootKey() const { return rootKey_; }
    // A different root closes the current key first; the same root changes
    // nothing.
    void SetRootKey(platform::RegKey root);

    bool HasCurrentKey() const { return static_cast<bool>(currentKey_); }
    platform::RegKey CurrentKey() const { return currentKey_.get(); }

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
    // The names of the current key's values, in the platform's order; empty
    // when they cannot be listed.
    std::vector<std::string> GetValueNames();

  private:
    // The registry the current key came from; with no key open, the one it
    // was given, which refuses the key 0 the value calls then pass.
    platform::Registry& Api() const;
    // Raises "Failed to set data for '<name>'" for a write that failed.
    static void CheckWrite(platform::Win32Error rc, const std::string& name);

    platform::Registry& api_;
    platform::RegKey rootKey_ = platform::kHkeyCurrentUser;
    platform::UniqueRegKey currentKey_;
};

}  // namespace core
