#include "platform/standin/registry.h"

#include <cstring>

#include "platform/errors.h"
#include "platform/names.h"
#include "platform/reg_key.h"
#include "platform/registry_roots.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/identity.h"
#include "platform/standin/reg_format.h"

namespace platform::standin {

namespace {

constexpr const char* kStoreExtension = ".reg";
const KeyPath kClassesPath = {"Software", "Classes"};

// Opened handles are small multiples of four, as Windows hands them out,
// and never reach the predefined keys at 0x80000000.
constexpr RegKey kFirstHandle = 0x1000;
constexpr RegKey kHandleStep = 4;

// A Windows caller passes C strings: a name ends at its first zero byte.
std::string CText(const std::string& text) {
    return std::string(text.c_str());
}

// The names of a sub-key path, as Windows reads it (platform/names.h).
// Names holding a line break are refused: a store keeps every name on one
// line.
bool SplitSubKey(const std::string& subKey, KeyPath* names) {
    const std::vector<std::string> split = SubKeyNames(subKey);
    names->assign(split.begin(), split.end());
    for (const std::string& name : *names) {
        if (!regfile::IsStorableName(name)) {
            return false;
        }
    }
    return true;
}

// A root's store: <state>/registry/<root name>.reg, its headers naming the
// root as it is.
std::filesystem::path RootStoreFile(const Context& context, RegKey root) {
    return context.stateDir / "registry" / (RootName(root) + kStoreExtension);
}

}  // namespace

StandinRegistry::StandinRegistry(Context& context)
    : context_(context),
      machine_(RootStoreFile(context, kHkeyLocalMachine), RootName(kHkeyLocalMachine), false,
               !context.inspectOnly) {}

StandinRegistry::~StandinRegistry() = default;

RegStore& StandinRegistry::UserStore(std::string* user) {
    return context_.userStores.Current(user);
}

const StandinRegistry::Hive* StandinRegistry::FindHive(const std::string& name) const {
    for (const Hive& hive : hives_) {
        if (SameText(hive.name, name)) {
            return &hive;
        }
    }
    return nullptr;
}

std::filesystem::path StandinRegistry::StoreFile(RegKey root) {
    if (root == kHkeyCurrentUser) {
        return UserStore().file();
    }
    if (root == kHkeyLocalMachine) {
        return machine_.file();
    }
    return {};
}

uint32_t StandinRegistry::Locate(RegKey key, Location* location) {
    *location = Location();
    switch (key) {
        case kHkeyCurrentUser:
            location->store = &UserStore();
            return kErrorSuccess;
        case kHkeyLocalMachine:
            location->store = &machine_;
            return kErrorSuccess;
        case kHkeyClassesRoot:
            // Always there on Windows; made on first use here.
            location->store = &machine_;
            location->path = kClassesPath;
            location->classes = true;
            // A workstation only looked at keeps its store as it is: a
            // missing Classes key reads as an empty one.
            return context_.inspectOnly ? kErrorSuccess : machine_.CreateKey(kClassesPath);
        case kHkeyUsers:
            return kErrorSuccess;
        default:
            break;
    }
    const auto it = handles_.find(key);
    if (it == handles_.end()) {
        return kErrorInvalidHandle;
    }
    *location = it->second;
    return kErrorSuccess;
}

uint32_t StandinRegistry::Descend(const Location& base, const std::string& subKey, bool create,
                                  Location* result) {
    KeyPath names;
    if (!SplitSubKey(subKey, &names)) {
        return kErrorInvalidParameter;
    }
    if (const Win32Error tooLong = SubKeyLengthError(subKey)) {
        return tooLong.code();
    }
    if (base.store != nullptr) {
        result->store = base.store;
        result->path = base.path;
        result->path.insert(result->path.end(), names.begin(), names.end());
        result->classes = base.classes;
        if (result->classes) {
            PlaceClassesKey(result);
        }
    } else if (names.empty()) {
        *result = base;
        return kErrorSuccess;
    } else {
        // Below HKEY_USERS lie only the mounted hives and the logged-on
        // user's store; no key can be made there directly, as on Windows.
        if (const Hive* hive = FindHive(names.front())) {
            result->store = hive->store.get();
        } else {
            std::string user;
            RegStore& own = UserStore(&user);
            if (!SameText(user, names.front())) {
                return create ? kErrorAccessDenied : kErrorFileNotFound;
            }
            result->store = &own;
        }
        result->path.assign(names.begin() + 1, names.end());
    }
    // A key that is not there is not found, whatever the rights; one that
    // is there, or is to be made, must be open to the user.
    if (!create) {
        if (const uint32_t rc = result->store->KeyExists(result->path); rc != kErrorSuccess) {
            return rc;
        }
        return MayOpen(*result);
    }
    if (const uint32_t rc = MayOpen(*result); rc != kErrorSuccess) {
        return rc;
    }
    return result->store->CreateKey(result->path);
}

void StandinRegistry::PlaceClassesKey(Location* location) {
    // The path is Software\Classes and the names below it, in either store.
    if (location->path.size() <= kClassesPath.size()) {
        location->store = &machine_;
        return;
    }
    RegStore& user = UserStore();
    location->store = user.KeyExists(location->path) == kErrorSuccess ? &user : &machine_;
}

uint32_t StandinRegistry::MayOpen(const Location& location) const {
    if (location.store != &machine_) {
        return kErrorSuccess;
    }
    return MachineKeyAccess(ReadIdentity(context_.stateDir, /*warn=*/false).rights).code();
}

RegKey StandinRegistry::NewHandle(Location location) {
    while (handles_.count(nextHandle_) != 0 || nextHandle_ >= kHkeyClassesRoot) {
        nextHandle_ = nextHandle_ >= kHkeyClassesRoot ? kFirstHandle : nextHandle_ + kHandleStep;
    }
    const RegKey handle = nextHandle_;
    nextHandle_ += kHandleStep;
    handles_.emplace(handle, std::move(location));
    return handle;
}

Win32Error StandinRegistry::CreateKey(RegKey base, const std::string& subKey, RegKey* result) {
    if (result == nullptr) {
        return kErrorInvalidParameter;
    }
    const std::string path = CText(subKey);
    // RegCreateKeyEx refuses a sub-key that begins with a backslash.
    if (!path.empty() && path.front() == '\\') {
        return kErrorBadPathname;
    }
    Location from;
    Location target;
    if (const uint32_t rc = Locate(base, &from); rc != kErrorSuccess) {
        return rc;
    }
    if (const uint32_t rc = Descend(from, path, true, &target); rc != kErrorSuccess) {
        return rc;
    }
    *result = NewHandle(std::move(target));
    return kErrorSuccess;
}

Win32Error StandinRegistry::OpenKey(RegKey base, const std::string& subKey, RegKey* result) {
    if (result == nullptr) {
        return kErrorInvalidParameter;
    }
    std::string path = CText(subKey);
    // RegOpenKeyEx refuses a leading backslash too, but passes over one
    // below HKEY_CLASSES_ROOT.
    if (!path.empty() && path.front() == '\\') {
        if (base != kHkeyClassesRoot) {
            return kErrorBadPathname;
        }
        path.erase(0, 1);
    }
    Location from;
    Location target;
    if (const uint32_t rc = Locate(base, &from); rc != kErrorSuccess) {
        return rc;
    }
    // An empty sub-key opens the base; a predefined key comes back as itself.
    if (path.empty() && IsPredefinedKey(base)) {
        if (const uint32_t rc = MayOpen(from); rc != kErrorSuccess) {
            return rc;
        }
        *result = base;
        return kErrorSuccess;
    }
    if (const uint32_t rc = Descend(from, path, false, &target); rc != kErrorSuccess) {
        return rc;
    }
    *result = NewHandle(std::move(target));
    return kErrorSuccess;
}

Win32Error StandinRegistry::SetValue(RegKey key, const std::string& name, uint32_t type,
                                     const uint8_t* data, uint32_t size) {
    const std::string valueName = CText(name);
    if ((data == nullptr && size > 0) || !regfile::IsStorableName(valueName)) {
        return kErrorInvalidParameter;
    }
    Location location;
    if (const uint32_t rc = Locate(key, &location); rc != kErrorSuccess) {
        return rc;
    }
    if (location.store == nullptr) {
        return kErrorAccessDenied;  // HKEY_USERS itself holds no values
    }
    if (const uint32_t rc = MayOpen(location); rc != kErrorSuccess) {
        return rc;
    }
    std::string bytes(size, '\0');
    if (size > 0) {
        std::memcpy(bytes.data(), data, size);
    }
    return location.store->SetValue(location.path, valueName, type, std::move(bytes));
}

Win32Error StandinRegistry::QueryValue(RegKey key, const std::string& name, uint32_t* type,
                                       uint8_t* data, uint32_t* size) {
    if (data != nullptr && size == nullptr) {
        return kErrorInvalidParameter;
    }
    Location location;
    if (const uint32_t rc = Locate(key, &location); rc != kErrorSuccess) {
        return rc;
    }
    if (location.store == nullptr) {
        return kErrorFileNotFound;
    }
    uint32_t storedType = 0;
    std::string bytes;
    if (const uint32_t rc =
            location.store->QueryValue(location.path, CText(name), &storedType, &bytes);
        rc != kErrorSuccess) {
        return rc;
    }
    if (type != nullptr) {
        *type = storedType;
    }
    if (size == nullptr) {
        return kErrorSuccess;
    }
    // As RegQueryValueEx: a buffer too small gets ERROR_MORE_DATA and the
    // size it needs; no buffer asks for the size alone.
    const auto stored = static_cast<uint32_t>(bytes.size());
    if (data != nullptr && *size < stored) {
        *size = stored;
        return kErrorMoreData;
    }
    if (data != nullptr && stored > 0) {
        std::memcpy(data, bytes.data(), stored);
    }
    *size = stored;
    return kErrorSuccess;
}

Win32Error StandinRegistry::DeleteValue(RegKey key, const std::string& name) {
    Location location;
    if (const uint32_t rc = Locate(key, &location); rc != kErrorSuccess) {
        return rc;
    }
    if (location.store == nullptr) {
        return kErrorFileNotFound;
    }
    if (const uint32_t rc = MayOpen(location); rc != kErrorSuccess) {
        return rc;
    }
    return location.store->DeleteValue(location.path, CText(name));
}

Win32Error StandinRegistry::CloseKey(RegKey key) {
    if (IsPredefinedKey(key)) {
        return kErrorSuccess;  // as on Windows: the predefined keys stay
    }
    return handles_.erase(key) > 0 ? kErrorSuccess : kErrorInvalidHandle;
}

uint32_t StandinRegistry::PrepareHive(const std::string& subKey, const std::string& file,
                                      std::unique_ptr<RegStore>* hive) {
    // Only an administrator holds the privileges a load needs; they are
    // asked for before anything else.
    if (const uint32_t rc =
            HiveLoadAccess(ReadIdentity(context_.stateDir, /*warn=*/false).rights).code();
        rc != kErrorSuccess) {
        return rc;
    }
    const std::string name = CText(subKey);
    if (name.empty() || name.find('\\') != std::string::npos || !regfile::IsStorableName(name)) {
        return kErrorInvalidParameter;
    }
    if (FindHive(name) != nullptr) {
        return kErrorAlreadyExists;
    }
    const auto host = context_.paths.Resolve(CText(file));
    if (!host) {
        return kErrorPathNotFound;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(*host, ec)) {
        return kErrorAccessDenied;
    }
    if (!std::filesystem::exists(*host, ec)) {
        return kErrorFileNotFound;
    }
    // A hive file is in use once loaded, as is every store file.
    UserStore();
    std::vector<const RegStore*> open = context_.userStores.Opened();
    open.push_back(&machine_);
    for (const Hive& hive : hives_) {
        open.push_back(hive.store.get());
    }
    for (const RegStore* store : open) {
        if (std::filesystem::equivalent(*host, store->file(), ec)) {
            return kErrorSharingViolation;
        }
    }
    auto store = std::make_unique<RegStore>(*host, RootName(kHkeyUsers) + "\\" + name, true, false);
    if (const uint32_t rc = store->Check(); rc != kErrorSuccess) {
        return rc;
    }
    *hive = std::move(store);
    return kErrorSuccess;
}

Win32Error StandinRegistry::LoadKey(const std::string& subKey, const std::string& file) {
    std::unique_ptr<RegStore> store;
    if (const uint32_t rc = PrepareHive(subKey, file, &store); rc != kErrorSuccess) {
        return rc;
    }
    hives_.push_back({CText(subKey), std::move(store)});
    return kErrorSuccess;
}

// The file is opened and read as a load reads it, and let go again.
Win32Error StandinRegistry::CanLoadKey(const std::string& subKey, const std::string& file) {
    std::unique_ptr<RegStore> store;
    return PrepareHive(subKey, file, &store);
}

Win32Error StandinRegistry::EnumKey(RegKey key, uint32_t index, std::string* name) {
    return EnumName(key, index, /*subKeys=*/true, name);
}

Win32Error StandinRegistry::EnumValue(RegKey key, uint32_t index, std::string* name) {
    return EnumName(key, index, /*subKeys=*/false, name);
}

uint32_t StandinRegistry::EnumName(RegKey key, uint32_t index, bool subKeys, std::string* name) {
    if (name == nullptr) {
        return kErrorInvalidParameter;
    }
    Location location;
    if (const uint32_t rc = Locate(key, &location); rc != kErrorSuccess) {
        return rc;
    }
    // HKEY_USERS itself holds no values; its sub-keys are the mounted hives
    // and the logged-on user's store.
    std::vector<std::string> names;
    if (location.store != nullptr) {
        const uint32_t rc = subKeys ? location.store->ListKeys(location.path, &names)
                                    : location.store->ListValues(location.path, &names);
        if (rc != kErrorSuccess) {
            return rc;
        }
    } else if (subKeys) {
        for (const Hive& hive : hives_) {
            names.push_back(hive.name);
        }
        std::string user;
        UserStore(&user);
        if (FindHive(user) == nullptr) {
            names.push_back(user);
        }
    }
    if (index >= names.size()) {
        return kErrorNoMoreItems;
    }
    *name = names[index];
    return kErrorSuccess;
}

}  // namespace platform::standin
