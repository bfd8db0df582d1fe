// The stand-in's registry, in store files under <state>/registry/:
// - HKEY_LOCAL_MACHINE, the machine's, shared by every user, in
//   HKEY_LOCAL_MACHINE.reg; HKEY_CLASSES_ROOT is the merged view of its key
//   Software\Classes and the user's, as on Windows: a key that the user's
//   Software\Classes holds is the user's, every other one the machine's;
// - HKEY_CURRENT_USER, one store per user (user_stores.h), shared with the
//   network connections, which Windows keeps there too;
// - HKEY_USERS holds the hives that RegLoadKey mounted, each kept in its own
//   file, and the logged-on user's store under his name, as Windows shows a
//   loaded profile there. Windows names the profile's key by the user's SID,
//   so a hive the L command loads under the user's name never meets it; here
//   the two names are the same, and a hive loaded under the user's name
//   takes the place of the profile's view while it is loaded, so that the
//   L command's lines go into the hive file as they do on Windows.
// A standard user (identity.ini) may read the machine's keys but not open
// them for all access nor make keys there, and may not load hives; see
// platform/default_access.h.
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
    Win32Error CreateKey(RegKey base, const std::string& subKey, RegKey* result) override;
    Win32Error OpenKey(RegKey base, const std::string& subKey, RegKey* result) override;
    Win32Error SetValue(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                        uint32_t size) override;
    Win32Error QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                          uint32_t* size) override;
    Win32Error DeleteValue(RegKey key, const std::string& name) override;
    Win32Error CloseKey(RegKey key) override;
    Win32Error LoadKey(const std::string& subKey, const std::string& file) override;
    Win32Error CanLoadKey(const std::string& subKey, const std::string& file) override;
    Win32Error EnumKey(RegKey key, uint32_t index, std::string* name) override;
    Win32Error EnumValue(RegKey key, uint32_t index, std::string* name) override;

    // The file of the HKEY_CURRENT_USER store of the user logged on now, or
    // of the HKEY_LOCAL_MACHINE store.
    std::filesystem::path StoreFile(RegKey root);

  private:
    // Everything LoadKey checks, and the hive's store opened and read; 0 or
    // the code LoadKey answers.
    uint32_t PrepareHive(const std::string& subKey, const std::string& file,
                         std::unique_ptr<RegStore>* hive);
    // Where a key lies: a store and the path below its root, or HKEY_USERS
    // itself (no store), whose sub-keys are the mounted hives.
    struct Location {
        RegStore* store = nullptr;
        KeyPath path;
        bool classes = false;  // reached through HKEY_CLASSES_ROOT
    };
    struct Hive {
        std::string name;
        std::unique_ptr<RegStore> store;
    };

    uint32_t Locate(RegKey key, Location* location);
    // Where a key of HKEY_CLASSES_ROOT lies: in the user's Software\Classes
    // when it is there, else in the machine's.
    void PlaceClassesKey(Location* location);
    // 0, or ERROR_ACCESS_DENIED for a key of the machine's that the user may
    // not open for all access.
    uint32_t MayOpen(const Location& location) const;
    uint32_t Descend(const Location& base, const std::string& subKey, bool create,
                     Location* result);
    RegKey NewHandle(Location location);
    uint32_t EnumName(RegKey key, uint32_t index, bool subKeys, std::string* name);
    // The HKEY_CURRENT_USER store of the user logged on now, and his name.
    RegStore& UserStore(std::string* user = nullptr);
    const Hive* FindHive(const std::string& name) const;

    Context& context_;
    RegStore machine_;
    std::vector<Hive> hives_;
    std::map<RegKey, Location> handles_;
    RegKey nextHandle_ = 0x1000;
};

}  // namespace platform::standin
