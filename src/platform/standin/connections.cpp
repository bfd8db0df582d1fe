#include "platform/standin/connections.h"

#include <sstream>

#include "platform/errors.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/file_lock.h"
#include "platform/standin/state.h"

namespace platform::standin {

ConnectionStore::ConnectionStore(std::filesystem::path file)
    : file_(std::move(file)), entries_(Load(file_)) {}

// One connection per line: device, tab, resource type, tab, remote name.
ConnectionStore::Entries ConnectionStore::Load(const std::filesystem::path& file) {
    Entries entries;
    std::string text;
    if (!ReadHostFile(file, &text)) {
        return entries;
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const auto tab1 = line.find('\t');
        const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) {
            continue;  // a torn or foreign line: not a connection
        }
        Connection connection;
        connection.type = static_cast<uint32_t>(std::strtoul(line.c_str() + tab1 + 1, nullptr, 10));
        connection.remoteName = line.substr(tab2 + 1);
        const std::string device = line.substr(0, tab1);
        entries[FoldCase1252(device)] = {device, connection};
    }
    return entries;
}

std::optional<Connection> ConnectionStore::Find(const std::string& device) const {
    const auto it = entries_.find(FoldCase1252(device));
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return it->second.second;
}

uint32_t ConnectionStore::Set(const std::string& device, const Connection& connection) {
    return Update([&](Entries& entries) {
        entries[FoldCase1252(device)] = {device, connection};
        return true;
    });
}

uint32_t ConnectionStore::Remove(const std::string& device) {
    return Update([&](Entries& entries) { return entries.erase(FoldCase1252(device)) != 0; });
}

uint32_t ConnectionStore::Update(const std::function<bool(Entries&)>& change) {
    FileLock lock;
    if (const uint32_t rc = lock.Acquire(file_.string() + ".lock"); rc != kErrorSuccess) {
        return rc;
    }
    // Another process may have changed the profile since it was last read.
    Entries entries = Load(file_);
    if (!change(entries)) {
        entries_ = std::move(entries);
        return kErrorSuccess;
    }
    std::string text;
    for (const auto& [folded, entry] : entries) {
        text += entry.first + "\t" + std::to_string(entry.second.type) + "\t" +
                entry.second.remoteName + "\n";
    }
    const uint32_t result = ReplaceFileAtomically(file_, text);
    if (result == kErrorSuccess) {
        entries_ = std::move(entries);
    }
    return result;
}

}  // namespace platform::standin
