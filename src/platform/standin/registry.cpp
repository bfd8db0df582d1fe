#include "platform/standin/registry.h"

#include "platform/errors.h"

namespace platform::standin {

StandinRegistry::StandinRegistry(Context& context) : context_(context) {}
StandinRegistry::~StandinRegistry() = default;

uint32_t StandinRegistry::CreateKey(RegKey, const std::string&, RegKey*) {
    return kErrorAccessDenied;
}
uint32_t StandinRegistry::OpenKey(RegKey, const std::string&, RegKey*) {
    return kErrorAccessDenied;
}
uint32_t StandinRegistry::SetValue(RegKey, const std::string&, uint32_t, const uint8_t*,
                                   uint32_t) {
    return kErrorAccessDenied;
}
uint32_t StandinRegistry::QueryValue(RegKey, const std::string&, uint32_t*, uint8_t*,
                                     uint32_t*) {
    return kErrorFileNotFound;
}
uint32_t StandinRegistry::DeleteValue(RegKey, const std::string&) { return kErrorFileNotFound; }
uint32_t StandinRegistry::CloseKey(RegKey) { return kErrorSuccess; }
uint32_t StandinRegistry::LoadKey(const std::string&, const std::string&) {
    return kErrorPrivilegeNotHeld;
}

}  // namespace platform::standin
