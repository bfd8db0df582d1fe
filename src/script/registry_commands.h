// The registry commands M, R, U and L, and the registry operations the run
// record uses; every key is opened through OpenScriptKey on the context's
// ScriptRegistry.
#pragma once
#include <cstdint>
#include <string>

#include "logon/context.h"
#include "platform/registry.h"

namespace script {

// Makes the key the current key of ScriptRegistry, creating missing keys.
// While a hive is attached, HKEY_CURRENT_USER\<path> is sent to
// HKEY_USERS\<UserName>\<path>. False when the platform refuses, or when
// there is no ScriptRegistry.
bool OpenScriptKey(logon::LogonContext& context, platform::RegKey root, const std::string& keyPath);
void WriteScriptString(logon::LogonContext& context, platform::RegKey root,
                       const std::string& keyPath, const std::string& valueName,
                       const std::string& text);
bool WriteScriptDword(logon::LogonContext& context, platform::RegKey root,
                      const std::string& keyPath, const std::string& valueName, int32_t value);
int32_t ReadScriptDword(logon::LogonContext& context, platform::RegKey root,
                        const std::string& keyPath, const std::string& valueName);
void DeleteScriptValue(logon::LogonContext& context, platform::RegKey root,
                       const std::string& keyPath, const std::string& valueName);
void WriteScriptBinary(logon::LogonContext& context, platform::RegKey root,
                       const std::string& keyPath, const std::string& valueName,
                       const std::string& hexText);

// Where OpenScriptKey sends a key: the path always begins with "\"; while a
// hive is attached, HKEY_CURRENT_USER\<path> becomes
// HKEY_USERS\<userName>\<path>. No other root is redirected.
struct ScriptKeyTarget {
    platform::RegKey root;
    std::string path;
};
ScriptKeyTarget TargetOfScriptKey(platform::RegKey root, const std::string& keyPath,
                                  bool hiveAttached, const std::string& userName);

// What the first letter of a value spec (upper-cased) asks for.
enum class RegistryAction { kDelete, kBinary, kDword, kString, kNothing };

// An M, R or U command cut into its parts, with no effect on anything.
struct RegistryCommand {
    // The action is kNothing for empty type and data too.
    bool hasValueName = false;  // the destination holds a "."
    std::string keyPath;        // before the first "." of the destination
    std::string valueName;      // after it, at most 9999 characters
    std::string argument;       // the type and data after their type letter
    RegistryAction action = RegistryAction::kNothing;
};
RegistryCommand ParseRegistryCommand(const std::string& destination, const std::string& valueSpec);

// The M, R and U commands: destination is key path "." value name, the value
// spec's first letter selects delete (-), binary (B), DWORD (D), string (S).
void ApplyRegistryCommand(logon::LogonContext& context, platform::RegKey root,
                          const std::string& destination, const std::string& valueSpec);
// The L command.
void AttachUserHive(logon::LogonContext& context, const std::string& hiveFile);
// Where L loads the hive of a user: HKEY_USERS\<userName>.
std::string HiveKeyName(const std::string& userName);

// Replaces `text` by the bytes its hex digits spell: every other character
// is dropped, and an odd last digit too.
void HexToBinary(std::string& text);
// The byte of two upper-case hex digits, the first one the high half.
unsigned char HexPairToByte(char high, char low);

}  // namespace script
