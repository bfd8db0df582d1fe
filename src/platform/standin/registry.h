// The stand-in's registry: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE each
// live in one store file under <state>/registry/ (HKEY_CLASSES_ROOT is the
// view of HKEY_LOCAL_MACHINE\Software\Classes), and HKEY_USERS holds the
// hives that RegLoadKey mounted, each kept in its own file.
#pragma once
#include <map>
#include <memory>
#include <vector>

#include "platform/registry.h"
#include "platform/standin/context.h"
#include "platform/standin/reg_store.h"

namespace platform::standin {

class StandinRegistry : public Registry {
  public:
    explicit StandinRegistry(Context& context);
    ~StandinRegistry() override;
    uint32_t CreateKey(RegKey base, const std::string& subKey, RegKey* result) override;
    uint32_t OpenKey(RegKey base, const std::string& subKey, RegKey* result) override;
    uint32_t SetValue(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                      uint32_t size) override;
    uint32_t QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                        uint32_t* size) override;
    uint32_t DeleteValue(RegKey key, const std::string& name) override;
    uint32_t CloseKey(RegKey key) override;
    uint32_t LoadKey(const std::string& subKey, const std::string& file) override;
    uint32_t EnumKey(RegKey key, uint32_t index, std::string* name) override;
    uint32_t EnumValue(RegKey key, uint32_t index, std::string* name) override;

    // The file of the HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE store.
    std::filesystem::path StoreFile(RegKey root) const;

  private:
    // Where a key lies: a store and the path below its root, or HKEY_USERS
    // itself (no store), whose sub-keys are the mounted hives.
    struct Location {
        RegStore* store = nullptr;
        KeyPath path;
    };
    struct Hive {
        std::string name;
        std::unique_ptr<RegStore> store;
    };

    uint32_t Locate(RegKey key, Location* location);
    uint32_t Descend(const Location& base, const std::string& subKey, bool create,
                     Location* result);
    RegKey NewHandle(Location location);
    uint32_t EnumName(RegKey key, uint32_t index, bool subKeys, std::string* name);

    Context& context_;
    RegStore user_;
    RegStore machine_;
    std::vector<Hive> hives_;
    std::map<RegKey, Location> handles_;
    RegKey nextHandle_ = 0x1000;
};

}  // namespace platform::standin
