#include "platform/standin/connections.h"

#include <sstream>

#include "platform/errors.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/state.h"

namespace platform::standin {

// One connection per line: device, tab, resource type, tab, remote name.
ConnectionStore::ConnectionStore(std::filesystem::path file) : file_(std::move(file)) {
    std::string text;
    if (!ReadHostFile(file_, &text)) {
        return;
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
        entries_[FoldCase1252(device)] = {device, connection};
    }
}

std::optional<Connection> ConnectionStore::Find(const std::string& device) const {
    const auto it = entries_.find(FoldCase1252(device));
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return it->second.second;
}

uint32_t ConnectionStore::Set(const std::string& device, const Connection& connection) {
    auto previous = entries_;
    entries_[FoldCase1252(device)] = {device, connection};
    const uint32_t result = Save();
    if (result != kErrorSuccess) {
        entries_ = std::move(previous);
    }
    return result;
}

uint32_t ConnectionStore::Remove(const std::string& device) {
    auto previous = entries_;
    if (entries_.erase(FoldCase1252(device)) == 0) {
        return kErrorSuccess;
    }
    const uint32_t result = Save();
    if (result != kErrorSuccess) {
        entries_ = std::move(previous);
    }
    return result;
}

uint32_t ConnectionStore::Save() const {
    std::string text;
    for (const auto& [folded, entry] : entries_) {
        text += entry.first + "\t" + std::to_string(entry.second.type) + "\t" +
                entry.second.remoteName + "\n";
    }
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    return ReplaceFileAtomically(file_, text);
}

}  // namespace platform::standin
