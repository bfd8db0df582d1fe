// One persistent registry store of the stand-in: a tree of keys and values
// kept in memory and in one .reg file (see reg_format.h).
//
// Every change is appended to the file as one complete record in a single
// write: the key's header line (left out when the file's last header already
// names the key) and the value line. The reader applies the records in
// order, so a later line wins, and leaves a last line without its line end
// unread: a process killed at any moment leaves the store loadable with each
// change whole or absent, and a change costs the same however large the
// store is. When the file has grown to several times what it holds, it is
// rewritten whole through a temporary file and a rename.
//
// Several processes may use one store: every operation takes an exclusive
// lock on the file (flock), catches up with what other processes appended,
// or reloads the file another process rewrote, and only then acts.
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/standin/unique_fd.h"

namespace platform::standin {

// A key path below the store's root, one name per element, in the case the
// caller wrote it.
using KeyPath = std::vector<std::string>;

class RegStore {
  public:
    // A value as a key holds it.
    struct StoredValue {
        std::string name;
        uint32_t type = 0;
        std::string data;
    };

    // `rootPath` names the store's root in headers: "HKEY_CURRENT_USER", or
    // "HKEY_USERS\<name>" for a hive, whose file may name its root
    // "HKEY_USERS\<any name>" (it can be loaded under any name). A store
    // that `creates` its file makes it (and its folder) on first use; a hive
    // file must exist.
    RegStore(std::filesystem::path file, std::string rootPath, bool isHive, bool creates);
    ~RegStore();
    RegStore(const RegStore&) = delete;
    RegStore& operator=(const RegStore&) = delete;

    const std::filesystem::path& file() const { return file_; }

    // Reads the file now: 0, or the reason it cannot serve (2 missing,
    // 1009 not a store, an I/O error).
    uint32_t Check();

    // Each returns 0 or a Win32 error code (1009 while the file is not a
    // store; the file is then left exactly as it is).
    uint32_t CreateKey(const KeyPath& path);
    uint32_t KeyExists(const KeyPath& path);  // 0, or 2 when there is no such key
    uint32_t SetValue(const KeyPath& path, const std::string& name, uint32_t type,
                      std::string data);
    uint32_t QueryValue(const KeyPath& path, const std::string& name, uint32_t* type,
                        std::string* data);
    uint32_t DeleteValue(const KeyPath& path, const std::string& name);
    // Deletes a key and everything below it (not the root): 0, or 2 when
    // there is no such key.
    uint32_t DeleteKey(const KeyPath& path);
    // Makes the key (and the keys above it) hold exactly `values`, its old
    // values and sub-keys gone, by writing the whole store anew: a process
    // killed at any moment leaves the key as it was or as it is to be.
    // With `unlessHolds`, a key that already holds a value of that name is
    // left as it is: kErrorAlreadyExists.
    uint32_t WriteKey(const KeyPath& path, const std::vector<StoredValue>& values,
                      const std::string* unlessHolds = nullptr);
    // Every value of a key, read at once, in the order of their folded
    // names: 0, or 2 when there is no such key or no file yet (which this
    // does not make).
    uint32_t ReadValues(const KeyPath& path, std::vector<StoredValue>* values);
    // The names of a key's sub-keys and of its values, as they were
    // written, in the order of their folded names.
    uint32_t ListKeys(const KeyPath& path, std::vector<std::string>* names);
    uint32_t ListValues(const KeyPath& path, std::vector<std::string>* names);

    // How many bytes the file has, and how many a rewrite would give
    // (an estimate between rewrites).
    uint64_t FileBytes() const { return applied_; }
    uint64_t LiveBytes() const { return live_; }

  private:
    struct Value {
        std::string name;
        uint32_t type = 0;
        std::string data;
        size_t lineBytes = 0;
    };
    struct Node {
        std::string name;
        std::string path;  // full path from the root, as headers write it
        std::map<std::string, std::unique_ptr<Node>> keys;  // by folded name
        std::map<std::string, Value> values;                // by folded name
    };
    class Lock;

    // `reading`: a missing file is not made (kErrorFileNotFound).
    uint32_t Begin(Lock& lock, bool reading = false);
    uint32_t ListNames(const KeyPath& path, bool subKeys, std::vector<std::string>* names);
    uint32_t Refresh();
    uint32_t LoadWhole(uint64_t size);
    uint32_t ReadTail(uint64_t size);
    bool ApplyLine(std::string_view line);
    bool HeaderToPath(const std::string& header, KeyPath* path) const;
    void ResetTree();

    Node* Find(const KeyPath& path);
    // The key and the value of that name, read under the lock: the key
    // missing gives kErrorKeyDeleted, the value kErrorFileNotFound.
    uint32_t FindValue(Lock& lock, const KeyPath& path, const std::string& name, Node** node,
                       const Value** value);
    Node* Ensure(const KeyPath& path, bool* created);
    void Put(Node* node, const std::string& name, uint32_t type, std::string data,
             size_t lineBytes);
    bool Remove(Node* node, const std::string& name);
    // Takes a key and all below it out of the tree; false when there is none.
    bool Drop(const KeyPath& path);
    void Forget(const Node& node);

    uint32_t Append(Node* node, const std::string& valueLine);
    // Appends a record of whole lines, after which the file's last header
    // names `tail` (none: nullptr).
    uint32_t AppendRecord(const std::string& record, Node* tail);
    void CompactIfLarge();
    // Writes the whole tree to a new file that takes the store's name: 0 or
    // the error that left the file as it was.
    uint32_t Rewrite();
    std::string Serialize(Node** lastHeader);

    std::filesystem::path file_;
    std::string rootPath_;
    bool isHive_;
    bool creates_;
    UniqueFd fd_;
    bool loaded_ = false;   // the tree holds the file up to applied_
    uint64_t applied_ = 0;  // bytes of the file the tree holds
    uint64_t fileBytes_ = 0;
    uint64_t live_ = 0;
    uint64_t compactFloor_ = 0;  // no rewrite below this size (raised when one fails)
    Node* tailKey_ = nullptr;    // the key the file's last header names
    std::unique_ptr<Node> root_;
};

}  // namespace platform::standin
