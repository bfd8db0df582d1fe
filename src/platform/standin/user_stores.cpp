#include "platform/standin/user_stores.h"

#include <cstdio>

#include "platform/registry_roots.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/identity.h"
#include "platform/standin/paths.h"
#include "platform/standin/state.h"

namespace platform::standin {

namespace {

constexpr const char* kStoreExtension = ".reg";

// Makes the shared store `shared` the store `file` of a user, unless that
// user has a store already: of two processes that try at once only one
// takes the old store, and a store another process has just made stays.
void AdoptSharedStore(const std::filesystem::path& shared, const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(shared, ec)) {
        return;
    }
    std::filesystem::create_directories(file.parent_path(), ec);
    RenameWithoutReplacing(shared, file);
}

}  // namespace

UserStores::UserStores(std::filesystem::path stateDir, bool inspectOnly)
    : stateDir_(std::move(stateDir)), inspectOnly_(inspectOnly) {}

UserStores::~UserStores() = default;

std::string UserStores::FileName(const std::string& user) {
    std::string name = user.empty() ? "%" : "";
    for (size_t i = 0; i < user.size(); ++i) {
        const auto c = static_cast<unsigned char>(user[i]);
        if (c < 0x20 || c == 0x7F || c == '%' || c == '/' || c == '\\' || (i == 0 && c == '.')) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            name += escaped;
        } else {
            name += static_cast<char>(c);
        }
    }
    return name;
}

RegStore& UserStores::Current(std::string* user) {
    const std::string name = ReadIdentity(stateDir_, /*warn=*/false).user;
    if (user != nullptr) {
        *user = name;
    }
    std::unique_ptr<RegStore>& store = stores_[FoldCase(name)];
    if (!store) {
        const std::string root = RootName(kHkeyCurrentUser);
        const auto folder = stateDir_ / "registry";
        const auto file = JoinIgnoringCase(folder / root, FileName(name) + kStoreExtension);
        if (!inspectOnly_) {
            AdoptSharedStore(folder / (root + kStoreExtension), file);
        }
        store = std::make_unique<RegStore>(file, root, false, !inspectOnly_);
    }
    return *store;
}

std::vector<const RegStore*> UserStores::Opened() const {
    std::vector<const RegStore*> opened;
    for (const auto& entry : stores_) {
        opened.push_back(entry.second.get());
    }
    return opened;
}

}  // namespace platform::standin
