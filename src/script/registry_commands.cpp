#include "script/registry_commands.h"

namespace script {

std::string AttachedHive;

void CreateScriptRegistry() {}
void FreeScriptRegistry() {}
bool OpenScriptKey(platform::RegKey, const std::string&) { return false; }
void WriteScriptString(platform::RegKey, const std::string&, const std::string&,
                       const std::string&) {}
bool WriteScriptDword(platform::RegKey, const std::string&, const std::string&, int32_t) {
    return false;
}
int32_t ReadScriptDword(platform::RegKey, const std::string&, const std::string&) { return 0; }
void DeleteScriptValue(platform::RegKey, const std::string&, const std::string&) {}
void WriteScriptBinary(platform::RegKey, const std::string&, const std::string&,
                       const std::string&) {}
void ApplyRegistryCommand(platform::RegKey, const std::string&, const std::string&) {}
void AttachUserHive(const std::string&) {}

}  // namespace script
