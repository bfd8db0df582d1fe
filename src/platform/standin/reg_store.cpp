#include "platform/standin/reg_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/errors.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/reg_format.h"
#include "platform/standin/state.h"
#include "platform/standin/text.h"
#include "platform/text_codes.h"

namespace platform::standin {

namespace {

// A rewrite happens once the file holds this many times what it stores (and
// at least kCompactSlack bytes more), so its cost is spread over the many
// changes appended since the last one.
constexpr uint64_t kCompactRatio = 4;
constexpr uint64_t kCompactSlack = 64 * 1024;

uint64_t SignatureBytes() {
    return regfile::kSignature.size() + 1;
}

// What a key header takes in the file: the blank line before it, the
// brackets and the line end.
uint64_t HeaderBytes(const std::string& path) {
    return path.size() + 4;
}

bool ReadAt(int fd, uint64_t offset, uint64_t size, std::string* text, int* error) {
    text->resize(size);
    uint64_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, text->data() + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            *error = n < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<uint64_t>(n);
    }
    return true;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('\\', start);
        parts.push_back(path.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

}  // namespace

// Holds the exclusive lock of the file the store has open; releases it
// when the operation ends, whichever file that is by then.
class RegStore::Lock {
  public:
    explicit Lock(RegStore& store) : store_(store) {}
    ~Lock() {
        if (held && store_.fd_) {
            ::flock(store_.fd_.get(), LOCK_UN);
        }
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    bool held = false;

  private:
    RegStore& store_;
};

RegStore::RegStore(std::filesystem::path file, std::string rootPath, bool isHive, bool creates)
    : file_(std::move(file)), rootPath_(std::move(rootPath)), isHive_(isHive), creates_(creates) {
    ResetTree();
}

RegStore::~RegStore() = default;

void RegStore::ResetTree() {
    root_ = std::make_unique<Node>();
    root_->path = rootPath_;
    tailKey_ = nullptr;
    live_ = SignatureBytes();
    applied_ = 0;
    loaded_ = false;
}

uint32_t RegStore::Begin(Lock& lock, bool reading) {
    // A store that is only read is not made for it.
    const bool creates = creates_ && !reading;
    // A few rounds at most: each one means another process has just
    // rewritten the file.
    for (int round = 0; round < 64; ++round) {
        if (!fd_) {
            const int flags = O_RDWR | O_CLOEXEC | (creates ? O_CREAT : 0);
            fd_.reset(::open(file_.c_str(), flags, 0644));
            if (!fd_ && errno == ENOENT && creates) {
                std::error_code ec;
                std::filesystem::create_directories(file_.parent_path(), ec);
                fd_.reset(::open(file_.c_str(), flags, 0644));
            }
            if (!fd_) {
                return ErrnoToWin32(errno);
            }
            loaded_ = false;
        }
        while (::flock(fd_.get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                return ErrnoToWin32(errno);
            }
        }
        lock.held = true;
        struct stat held {};
        struct stat named {};
        if (::fstat(fd_.get(), &held) == 0 && ::stat(file_.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            fileBytes_ = static_cast<uint64_t>(held.st_size);
            return Refresh();
        }
        // The name now leads to another file (a rewrite by another process)
        // or to none: let go of this one and start over.
        ::flock(fd_.get(), LOCK_UN);
        lock.held = false;
        fd_.reset();
        loaded_ = false;
        std::error_code ec;
        if (!creates_ && !std::filesystem::exists(file_, ec)) {
            return kErrorKeyDeleted;  // the hive's file was removed
        }
    }
    return kErrorSharingViolation;
}

uint32_t RegStore::Refresh() {
    if (!loaded_ || fileBytes_ < applied_) {
        return LoadWhole(fileBytes_);
    }
    if (fileBytes_ > applied_) {
        return ReadTail(fileBytes_);
    }
    return kErrorSuccess;
}

uint32_t RegStore::LoadWhole(uint64_t size) {
    ResetTree();
    std::string text;
    int error = 0;
    if (!ReadAt(fd_.get(), 0, size, &text, &error)) {
        return ErrnoToWin32(error);
    }
    const std::string signatureLine = std::string(regfile::kSignature) + "\n";
    const size_t firstEnd = text.find('\n');
    if (firstEnd == std::string::npos) {
        // A store whose creation was cut short holds a piece of its first
        // line at most; it starts again empty. A hive file must be whole.
        if (isHive_ || signatureLine.compare(0, text.size(), text) != 0) {
            return kErrorBadfile;
        }
        if (::ftruncate(fd_.get(), 0) != 0 ||
            ::pwrite(fd_.get(), signatureLine.data(), signatureLine.size(), 0) !=
                static_cast<ssize_t>(signatureLine.size())) {
            return ErrnoToWin32(errno);
        }
        applied_ = fileBytes_ = signatureLine.size();
        loaded_ = true;
        return kErrorSuccess;
    }
    if (TrimRight(std::string_view(text.data(), firstEnd), " \r") != regfile::kSignature) {
        return kErrorBadfile;
    }
    const auto scan =
        regfile::ScanCompleteLines(std::string_view(text).substr(firstEnd + 1),
                                   [this](std::string_view line) { return ApplyLine(line); });
    if (!scan.ok) {
        ResetTree();
        return kErrorBadfile;
    }
    applied_ = firstEnd + 1 + scan.end;
    loaded_ = true;
    return kErrorSuccess;
}

uint32_t RegStore::ReadTail(uint64_t size) {
    std::string text;
    int error = 0;
    if (!ReadAt(fd_.get(), applied_, size - applied_, &text, &error)) {
        return ErrnoToWin32(error);
    }
    const auto scan =
        regfile::ScanCompleteLines(text, [this](std::string_view line) { return ApplyLine(line); });
    if (!scan.ok) {
        ResetTree();
        return kErrorBadfile;
    }
    applied_ += scan.end;
    return kErrorSuccess;
}

bool RegStore::ApplyLine(std::string_view text) {
    // Names and text are UTF-8, and every line written so is valid UTF-8; a
    // line that is not was written by the program of old, whose text was
    // Windows-1252, and is read as that, so the keys and values of an old
    // state folder keep their names.
    const std::string old =
        IsValidUtf8(text) ? std::string() : Utf8From1252(text, Unused1252::kControl);
    regfile::ParsedLine line = regfile::ParseLine(old.empty() ? text : old);
    switch (line.kind) {
        case regfile::ParsedLine::kBlank:
            return true;
        case regfile::ParsedLine::kHeader: {
            KeyPath path;
            if (!HeaderToPath(line.keyPath, &path)) {
                return false;
            }
            bool created = false;
            tailKey_ = Ensure(path, &created);
            return true;
        }
        case regfile::ParsedLine::kValue:
            if (tailKey_ == nullptr) {
                return false;
            }
            Put(tailKey_, line.name, line.type, std::move(line.data), text.size());
            return true;
        case regfile::ParsedLine::kDeletion:
            if (tailKey_ == nullptr) {
                return false;
            }
            Remove(tailKey_, line.name);
            return true;
        case regfile::ParsedLine::kKeyDeletion: {
            // A value line right after a key's deletion has no key to go to.
            KeyPath path;
            if (!HeaderToPath(line.keyPath, &path) || path.empty()) {
                return false;
            }
            Drop(path);
            tailKey_ = nullptr;
            return true;
        }
        default:
            return false;
    }
}

bool RegStore::HeaderToPath(const std::string& header, KeyPath* path) const {
    const std::vector<std::string> parts = SplitPath(header);
    const std::vector<std::string> root = SplitPath(rootPath_);
    if (parts.size() < root.size()) {
        return false;
    }
    for (const std::string& part : parts) {
        if (part.empty()) {
            return false;
        }
    }
    // A hive's root is HKEY_USERS\<the name it was loaded under>; its file
    // may have been written under any name.
    const size_t compared = isHive_ ? 1 : root.size();
    for (size_t i = 0; i < compared; ++i) {
        if (!SameText(parts[i], root[i])) {
            return false;
        }
    }
    path->assign(parts.begin() + static_cast<std::ptrdiff_t>(root.size()), parts.end());
    return true;
}

RegStore::Node* RegStore::Find(const KeyPath& path) {
    Node* node = root_.get();
    for (const std::string& name : path) {
        const auto it = node->keys.find(FoldCase(name));
        if (it == node->keys.end()) {
            return nullptr;
        }
        node = it->second.get();
    }
    return node;
}

RegStore::Node* RegStore::Ensure(const KeyPath& path, bool* created) {
    *created = false;
    Node* node = root_.get();
    for (const std::string& name : path) {
        auto& slot = node->keys[FoldCase(name)];
        if (!slot) {
            slot = std::make_unique<Node>();
            slot->name = name;
            slot->path = node->path + "\\" + name;
            live_ += HeaderBytes(slot->path);
            *created = true;
        }
        node = slot.get();
    }
    return node;
}

void RegStore::Put(Node* node, const std::string& name, uint32_t type, std::string data,
                   size_t lineBytes) {
    auto [it, inserted] = node->values.try_emplace(FoldCase(name));
    Value& value = it->second;
    if (inserted) {
        value.name = name;  // an existing value keeps the case it was created with
    } else {
        live_ -= value.lineBytes + 1;
    }
    value.type = type;
    value.data = std::move(data);
    value.lineBytes = lineBytes;
    live_ += lineBytes + 1;
}

bool RegStore::Remove(Node* node, const std::string& name) {
    const auto it = node->values.find(FoldCase(name));
    if (it == node->values.end()) {
        return false;
    }
    live_ -= it->second.lineBytes + 1;
    node->values.erase(it);
    return true;
}

bool RegStore::Drop(const KeyPath& path) {
    KeyPath parentPath = path;
    parentPath.pop_back();
    Node* parent = Find(parentPath);
    if (parent == nullptr) {
        return false;
    }
    const auto it = parent->keys.find(FoldCase(path.back()));
    if (it == parent->keys.end()) {
        return false;
    }
    Forget(*it->second);
    parent->keys.erase(it);
    return true;
}

void RegStore::Forget(const Node& node) {
    live_ -= HeaderBytes(node.path);
    for (const auto& entry : node.values) {
        live_ -= entry.second.lineBytes + 1;
    }
    for (const auto& entry : node.keys) {
        Forget(*entry.second);
    }
}

uint32_t RegStore::Append(Node* node, const std::string& valueLine) {
    std::string record;
    if (node != tailKey_) {
        record += '\n';
        record += regfile::FormatHeader(node->path);
        record += '\n';
    }
    if (!valueLine.empty()) {
        record += valueLine;
        record += '\n';
    }
    return AppendRecord(record, node);
}

uint32_t RegStore::AppendRecord(const std::string& record, Node* tail) {
    // Whatever follows the last complete line was left by a writer killed in
    // mid-write (every writer holds the lock): it goes before anything is
    // added, so that it can never become part of a line.
    if (fileBytes_ > applied_) {
        if (::ftruncate(fd_.get(), static_cast<off_t>(applied_)) != 0) {
            loaded_ = false;
            return ErrnoToWin32(errno);
        }
        fileBytes_ = applied_;
    }
    const ssize_t n =
        ::pwrite(fd_.get(), record.data(), record.size(), static_cast<off_t>(applied_));
    if (n != static_cast<ssize_t>(record.size())) {
        const int error = n < 0 ? errno : ENOSPC;
        if (::ftruncate(fd_.get(), static_cast<off_t>(applied_)) != 0) {
            // The next operation reads whatever the file holds now.
        }
        loaded_ = false;
        return ErrnoToWin32(error);
    }
    applied_ += record.size();
    fileBytes_ = applied_;
    tailKey_ = tail;
    return kErrorSuccess;
}

std::string RegStore::Serialize(Node** lastHeader) {
    std::string text(regfile::kSignature);
    text += '\n';
    *lastHeader = nullptr;
    // Depth first, each key's values under its header; a key with neither
    // values nor sub-keys gets a header of its own so that it stays.
    auto emit = [&](auto& self, Node* node) -> void {
        if (!node->values.empty() || (node->keys.empty() && node != root_.get())) {
            text += "\n";
            text += regfile::FormatHeader(node->path);
            text += '\n';
            for (const auto& entry : node->values) {
                const Value& value = entry.second;
                text += regfile::FormatValueLine(value.name, value.type, value.data);
                text += '\n';
            }
            *lastHeader = node;
        }
        for (auto& entry : node->keys) {
            self(self, entry.second.get());
        }
    };
    emit(emit, root_.get());
    return text;
}

void RegStore::CompactIfLarge() {
    if (applied_ <= std::max(kCompactRatio * live_ + kCompactSlack, compactFloor_)) {
        return;
    }
    if (Rewrite() != kErrorSuccess) {
        // The appended file stays as good as it was; try again once it has
        // doubled.
        compactFloor_ = applied_ * 2;
    }
}

uint32_t RegStore::Rewrite() {
    Node* last = nullptr;
    const std::string text = Serialize(&last);
    // The new file keeps the old one's permissions, and is locked before it
    // takes the name, so the store goes on with it before anyone else can.
    struct stat st {};
    Replacement how;
    how.mode = ::fstat(fd_.get(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    UniqueFd rewritten;
    how.locked = &rewritten;
    if (const uint32_t rc = ReplaceFileAtomically(file_, text, how); rc != kErrorSuccess) {
        return rc;
    }
    fd_ = std::move(rewritten);
    applied_ = fileBytes_ = text.size();
    live_ = text.size();
    tailKey_ = last;
    compactFloor_ = 0;
    return kErrorSuccess;
}

uint32_t RegStore::Check() {
    Lock lock(*this);
    return Begin(lock);
}

uint32_t RegStore::CreateKey(const KeyPath& path) {
    Lock lock(*this);
    if (const uint32_t rc = Begin(lock); rc != kErrorSuccess) {
        return rc;
    }
    if (Find(path) != nullptr) {
        return kErrorSuccess;
    }
    bool created = false;
    Node* node = Ensure(path, &created);
    if (const uint32_t rc = Append(node, std::string()); rc != kErrorSuccess) {
        return rc;
    }
    CompactIfLarge();
    return kErrorSuccess;
}

uint32_t RegStore::KeyExists(const KeyPath& path) {
    Lock lock(*this);
    if (const uint32_t rc = Begin(lock); rc != kErrorSuccess) {
        return rc;
    }
    return Find(path) != nullptr ? kErrorSuccess : kErrorFileNotFound;
}

uint32_t RegStore::SetValue(const KeyPath& path, const std::string& name, uint32_t type,
                            std::string data) {
    Lock lock(*this);
    if (const uint32_t rc = Begin(lock); rc != kErrorSuccess) {
        return rc;
    }
    Node* node = Find(path);
    if (node == nullptr) {
        return kErrorKeyDeleted;
    }
    // A value written again keeps the name it was created with, in the file too.
    const auto existing = node->values.find(FoldCase(name));
    const std::string& storedName = existing != node->values.end() ? existing->second.name : name;
    const std::string line = regfile::FormatValueLine(storedName, type, data);
    if (const uint32_t rc = Append(node, line); rc != kErrorSuccess) {
        return rc;
    }
    Put(node, name, type, std::move(data), line.size());
    CompactIfLarge();
    return kErrorSuccess;
}

uint32_t RegStore::FindValue(Lock& lock, const KeyPath& path, const std::string& name, Node** node,
                             const Value** value) {
    if (const uint32_t rc = Begin(lock); rc != kErrorSuccess) {
        return rc;
    }
    *node = Find(path);
    if (*node == nullptr) {
        return kErrorKeyDeleted;
    }
    const auto it = (*node)->values.find(FoldCase(name));
    if (it == (*node)->values.end()) {
        return kErrorFileNotFound;
    }
    *value = &it->second;
    return kErrorSuccess;
}

uint32_t RegStore::QueryValue(const KeyPath& path, const std::string& name, uint32_t* type,
                              std::string* data) {
    Lock lock(*this);
    Node* node = nullptr;
    const Value* value = nullptr;
    if (const uint32_t rc = FindValue(lock, path, name, &node, &value); rc != kErrorSuccess) {
        return rc;
    }
    *type = value->type;
    *data = value->data;
    return kErrorSuccess;
}

uint32_t RegStore::DeleteValue(const KeyPath& path, const std::string& name) {
    Lock lock(*this);
    Node* node = nullptr;
    const Value* value = nullptr;
    if (const uint32_t rc = FindValue(lock, path, name, &node, &value); rc != kErrorSuccess) {
        return rc;
    }
    // The line names the value as it was created, so the file reads alike.
    if (const uint32_t rc = Append(node, regfile::FormatDeletionLine(value->name));
        rc != kErrorSuccess) {
        return rc;
    }
    Remove(node, name);
    CompactIfLarge();
    return kErrorSuccess;
}

uint32_t RegStore::DeleteKey(const KeyPath& path) {
    if (path.empty()) {
        return kErrorAccessDenied;  // the root stays
    }
    Lock lock(*this);
    if (const uint32_t rc = Begin(lock); rc != kErrorSuccess) {
        return rc;
    }
    const Node* node = Find(path);
    if (node == nullptr) {
        return kErrorFileNotFound;
    }
    const std::string record = "\n" + regfile::FormatKeyDeletion(node->path) + "\n";
    if (const uint32_t rc = AppendRecord(record, nullptr); rc != kErrorSuccess) {
        return rc;
    }
    Drop(path);
    CompactIfLarge();
    return kErrorSuccess;
}

uint32_t RegStore::WriteKey(const KeyPath& path, const std::vector<StoredValue>& values,
                            const std::string* unlessHolds) {
    if (path.empty()) {
        return kErrorAccessDenied;
    }
    Lock lock(*this);
    if (const uint32_t rc = Begin(lock); rc != kErrorSuccess) {
        return rc;
    }
    if (const Node* old = Find(path)) {
        if (unlessHolds != nullptr && old->values.count(FoldCase(*unlessHolds)) != 0) {
            return kErrorAlreadyExists;
        }
    }
    Drop(path);
    bool created = false;
    Node* node = Ensure(path, &created);
    for (const StoredValue& value : values) {
        const size_t lineBytes =
            regfile::FormatValueLine(value.name, value.type, value.data).size();
        Put(node, value.name, value.type, value.data, lineBytes);
    }
    // Appended, the key's deletion and its new values would be one record
    // of several lines, which a process killed in the middle of its write
    // may leave cut (a write is cut at a page of the file): the old values
    // gone and the new ones missing. The file is rewritten whole instead,
    // through a new file that takes the name at once: old or new.
    if (const uint32_t rc = Rewrite(); rc != kErrorSuccess) {
        loaded_ = false;  // the next operation reads the file again
        return rc;
    }
    return kErrorSuccess;
}

uint32_t RegStore::ReadValues(const KeyPath& path, std::vector<StoredValue>* values) {
    Lock lock(*this);
    if (const uint32_t rc = Begin(lock, /*reading=*/true); rc != kErrorSuccess) {
        return rc;
    }
    const Node* node = Find(path);
    if (node == nullptr) {
        return kErrorFileNotFound;
    }
    values->clear();
    for (const auto& entry : node->values) {
        values->push_back({entry.second.name, entry.second.type, entry.second.data});
    }
    return kErrorSuccess;
}

uint32_t RegStore::ListKeys(const KeyPath& path, std::vector<std::string>* names) {
    return ListNames(path, /*subKeys=*/true, names);
}

uint32_t RegStore::ListValues(const KeyPath& path, std::vector<std::string>* names) {
    return ListNames(path, /*subKeys=*/false, names);
}

uint32_t RegStore::ListNames(const KeyPath& path, bool subKeys, std::vector<std::string>* names) {
    Lock lock(*this);
    if (const uint32_t rc = Begin(lock); rc != kErrorSuccess) {
        return rc;
    }
    const Node* node = Find(path);
    if (node == nullptr) {
        return kErrorKeyDeleted;
    }
    names->clear();
    if (subKeys) {
        for (const auto& entry : node->keys) {
            names->push_back(entry.second->name);
        }
    } else {
        for (const auto& entry : node->values) {
            names->push_back(entry.second.name);
        }
    }
    return kErrorSuccess;
}

}  // namespace platform::standin
