// The registry commands M, R, U and L, and the registry operations the run
// record uses; every key is opened through OpenScriptKey on ScriptRegistry.
#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace script {

// The path of the hive file the last L command attached; empty when none.
extern std::string AttachedHive;

// Creates ScriptRegistry (root HKEY_CURRENT_USER, no key open).
void CreateScriptRegistry();
// Frees ScriptRegistry, closing its current key; nothing when there is none.
void FreeScriptRegistry();

bool OpenScriptKey(platform::RegKey root, const std::string& keyPath);
void WriteScriptString(platform::RegKey root, const std::string& keyPath,
                       const std::string& valueName, const std::string& text);
bool WriteScriptDword(platform::RegKey root, const std::string& keyPath,
                      const std::string& valueName, int32_t value);
int32_t ReadScriptDword(platform::RegKey root, const std::string& keyPath,
                        const std::string& valueName);
void DeleteScriptValue(platform::RegKey root, const std::string& keyPath,
                       const std::string& valueName);
void WriteScriptBinary(platform::RegKey root, const std::string& keyPath,
                       const std::string& valueName, const std::string& hexText);

// The M, R and U commands: destination is key path "." value name, the value
// spec's first letter selects delete (-), binary (B), DWORD (D), string (S).
void ApplyRegistryCommand(platform::RegKey root, const std::string& destination,
                          const std::string& valueSpec);
// The L command.
void AttachUserHive(const std::string& hiveFile);

}  // namespace script
