// The HKEY_CURRENT_USER stores of a stand-in workstation, one per user, as
// every Windows user has a hive of his own: <state>/registry/
// HKEY_CURRENT_USER/<user>.reg, for the user that identity.ini (or the
// login name) names at the moment of the call. The registry and the
// network connections (kept under the user's Network key) reach the same
// store through here, so a process holds one RegStore per user file.
//
// The one store of the times before stores were kept per user,
// HKEY_CURRENT_USER.reg, becomes the store of the first user who has none
// when a store is used; a workstation only looked at (inspect) is left as
// it is, and a missing store is not made.
#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/standin/reg_store.h"

namespace platform::standin {

class UserStores {
  public:
    UserStores(std::filesystem::path stateDir, bool inspectOnly);
    ~UserStores();
    UserStores(const UserStores&) = delete;
    UserStores& operator=(const UserStores&) = delete;

    // The store of the user logged on now, and his name.
    RegStore& Current(std::string* user = nullptr);
    // Every store this process has opened so far.
    std::vector<const RegStore*> Opened() const;

    // A user name as a host file name: as it is, but for the bytes that no
    // host file name may hold or that would hide the file (a leading "."),
    // written as %XX; the empty name is "%".
    static std::string FileName(const std::string& user);

  private:
    std::filesystem::path stateDir_;
    bool inspectOnly_;
    std::map<std::string, std::unique_ptr<RegStore>> stores_;  // by folded user name
};

}  // namespace platform::standin
