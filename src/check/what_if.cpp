#include "check/what_if.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/strings.h"
#include "platform/default_access.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/network.h"
#include "platform/profile.h"
#include "platform/refusing.h"
#include "platform/reg_key.h"
#include "platform/registry.h"
#include "platform/registry_roots.h"
#include "platform/system.h"

namespace check {

namespace {

using core::UpperAZ;

using platform::Win32Error;

constexpr uint32_t kReadOnlyAttribute = 0x1;
constexpr uint32_t kArchiveAttribute = 0x20;
// The first handle the what-if registry gives; predefined keys lie far above.
constexpr platform::RegKey kFirstHandle = 0x10000;

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

bool IsUncPath(const std::string& path) {
    return path.size() >= 2 && path[0] == '\\' && platform::IsPathSeparator(path[1]);
}

// A path that leads nowhere whatever the workstation holds: empty, or a
// UNC name without a server and a share.
bool LeadsNowhere(const std::string& path) {
    if (path.empty()) {
        return true;
    }
    if (!IsUncPath(path)) {
        return false;
    }
    std::string unc = path;
    std::replace(unc.begin(), unc.end(), '/', '\\');
    const auto end = unc.find('\\', unc.find('\\', 2) + 1);
    return platform::UncComponents(unc.substr(0, end)).size() < 2;
}

// The folder that holds a path's last element, as the path names it: "" for
// a bare relative name (the current folder), "C:\" for "C:\x".
std::string ParentOf(const std::string& path) {
    std::string text = path;
    while (text.size() > 1 && platform::EndsWithSeparator(text)) {
        text.pop_back();
    }
    size_t cut = text.size();
    while (cut > 0 && !platform::IsPathSeparator(text[cut - 1])) {
        --cut;
    }
    if (cut == 0) {
        return HasDrive(text) ? text.substr(0, 2) + "\\" : std::string();
    }
    const std::string head = text.substr(0, cut - 1);
    // The root of a drive ("C:\") or of the current drive ("\") keeps its separator.
    if (head.empty() || (head.size() == 2 && HasDrive(head))) {
        return text.substr(0, cut);
    }
    return head;
}

std::string HexText(const std::string& bytes, const char* between) {
    std::string text;
    for (const unsigned char byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        if (!text.empty()) {
            text += between;
        }
        text += pair;
    }
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Where HKEY_CLASSES_ROOT writes a key that the user's own classes hold.
const std::string kUserClasses = "Software\\Classes\\";

}  // namespace

struct WhatIfPlatform::State {
    enum class Kind { kFile, kFolder, kMissing, kUnknown };
    struct Fact {
        Kind kind = Kind::kUnknown;
        uint32_t attributes = 0;
        bool Exists() const { return kind == Kind::kFile || kind == Kind::kFolder; }
    };
    struct Node {
        Kind kind = Kind::kFile;
        uint32_t attributes = kArchiveAttribute;
        std::string source;  // a copied file: the path it was copied from
    };
    struct KeyRef {
        platform::RegKey root = 0;
        std::string path;  // below the root, without a leading "\"
    };

    State(const platform::Services& b, Sight s, const std::string& shareDir, platform::Rights r)
        : base(b), sight(s), rights(r) {
        shareKey = Key(shareDir);
    }

    platform::Services base;
    Sight sight;
    platform::Rights rights;
    // What the user's rights refused since they were last taken.
    std::vector<std::string> refusals;
    std::string shareKey;

    // The overlay: what the logon's earlier calls changed.
    std::unordered_map<std::string, Node> files;
    std::unordered_set<std::string> keys;  // made by the logon
    // Values by key and upper-case name; nothing: deleted.
    std::unordered_map<std::string, std::map<std::string, std::optional<platform::RegValue>>>
        values;
    std::set<std::string> hives;  // user names, upper case
    // Devices, upper case: the remote name, or nothing once cancelled.
    std::map<std::string, std::optional<std::string>> connections;
    std::set<std::string> deviceless;
    std::map<platform::RegKey, KeyRef> handles;
    platform::RegKey nextHandle = kFirstHandle;

    std::vector<Effect> effects;
    std::vector<std::string> depends;
    bool tell = true;

    // A line being recorded (see Replay): what it saw at each place of
    // the overlay it looked at, and its changes.
    bool recording = false;
    mutable std::vector<Replay::Read> reads;
    std::vector<std::function<void(void*)>> changes;

    // What a place of the overlay holds, as a hash: 0 for nothing.
    static size_t Seen(const Node& node) {
        return std::hash<std::string>{}(node.source) * 31 + static_cast<size_t>(node.kind) * 7 +
               node.attributes + 1;
    }
    static size_t Seen(const std::optional<std::string>& remote) {
        return remote ? std::hash<std::string>{}(*remote) + 2 : 1;
    }
    static size_t Seen(const std::map<std::string, std::optional<platform::RegValue>>& named) {
        size_t seen = 3;
        for (const auto& [name, value] : named) {
            seen = seen * 31 + std::hash<std::string>{}(name);
            seen = seen * 31 + (value ? std::hash<std::string>{}(value->data) + value->type : 1);
        }
        return seen;
    }
    template <typename Map>
    static size_t SeenIn(const Map& map, const std::string& key) {
        const auto at = map.find(key);
        return at == map.end() ? 0 : Seen(at->second);
    }
    template <typename Set>
    static size_t SeenOf(const Set& set, const std::string& key) {
        return set.count(key) != 0 ? 1 : 0;
    }
    // What the place of `read` holds now.
    size_t SeenNow(const Replay::Read& read) const {
        switch (read.tag) {
            case 'f':
                return SeenIn(files, read.key);
            case 'k':
                return SeenOf(keys, read.key);
            case 'v':
                return SeenIn(values, read.key);
            case 'h':
                return SeenOf(hives, read.key);
            case 'c':
                return SeenIn(connections, read.key);
            default:
                return SeenOf(deviceless, read.key);
        }
    }

    // Every lookup of the overlay goes through Find or Has.
    template <typename Map>
    auto Find(char tag, Map& map, const std::string& key) const -> decltype(map.find(key)) {
        auto at = map.find(key);
        if (recording) {
            reads.push_back({tag, key, at == map.end() ? 0 : Seen(at->second)});
        }
        return at;
    }
    template <typename Set>
    bool Has(char tag, const Set& set, const std::string& key) const {
        const bool present = set.count(key) != 0;
        if (recording) {
            reads.push_back({tag, key, present ? size_t{1} : size_t{0}});
        }
        return present;
    }
    // Every change of the overlay goes through Change.
    template <typename Changer>
    void Change(Changer change) {
        change(*this);
        if (recording) {
            changes.push_back([change](void* state) { change(*static_cast<State*>(state)); });
        }
    }

    // A fact of the workstation the call depends on, and a change it makes:
    // each is told only when telling, and only then is its text made.
    template <typename Make>
    void Depend(Make make) {
        if (!tell) {
            return;
        }
        std::string fact = make();
        if (std::find(depends.begin(), depends.end(), fact) == depends.end()) {
            depends.push_back(std::move(fact));
        }
    }
    template <typename Make>
    void Did(Make make) {
        if (tell) {
            effects.push_back(make());
        }
    }

    // --- files -----------------------------------------------------------

    // A path as one key for every spelling of it: "\" for "/", letter case
    // ignored, "." and ".." taken out, relative paths placed in the share,
    // and a drive the logon connected replaced by its share.
    std::string Key(const std::string& path) const {
        std::string key;
        size_t start = 0;
        if (!path.empty() && path[0] == '/') {
            key = "/";  // a host path, as it stands
            start = 1;
        } else if (IsUncPath(path)) {
            key = "\\\\";
            start = 2;
        } else if (HasDrive(path)) {
            const auto connected = Find('c', connections, UpperAZ(path.substr(0, 2)));
            if (connected != connections.end() && connected->second) {
                return Key(*connected->second + "\\" + path.substr(2));
            }
            key = UpperAZ(path.substr(0, 2)) + "\\";
            start = 2;
        } else if (!path.empty() && path[0] == '\\') {
            key = "\\";
            start = 1;
        } else {
            key = shareKey;
            if (!key.empty() && key.back() != '\\') {
                key += '\\';
            }
        }
        // Each element upper-cased after one "\"; "." dropped, ".." taking
        // the element before it away, never the prefix.
        const size_t root = key.size();
        size_t at = start;
        while (at <= path.size()) {
            size_t end = at;
            while (end < path.size() && !platform::IsPathSeparator(path[end])) {
                ++end;
            }
            const size_t length = end - at;
            if (length == 2 && path[at] == '.' && path[at + 1] == '.') {
                const size_t cut = key.find_last_of('\\');
                key.resize(cut == std::string::npos || cut < root ? root : cut);
            } else if (length > 0 && !(length == 1 && path[at] == '.')) {
                if (key.size() > root) {
                    key += '\\';
                }
                for (size_t i = at; i < end; ++i) {
                    const char c = path[i];
                    key += UpperAZ(c);
                }
            }
            at = end + 1;
        }
        return key;
    }

    // A path on a drive the logon connected, as the share's path: the
    // workstation is asked of it there, where the run would find it.
    std::string Rewritten(const std::string& path) const {
        if (!HasDrive(path)) {
            return path;
        }
        const auto connected = Find('c', connections, UpperAZ(path.substr(0, 2)));
        if (connected == connections.end() || !connected->second) {
            return path;
        }
        std::string rest = path.substr(2);
        if (!rest.empty() && !platform::IsPathSeparator(rest.front())) {
            rest.insert(0, "\\");
        }
        return *connected->second + rest;
    }

    // A path on a drive whose connection the logon cancelled: the
    // workstation, asked of it, would still answer through that connection,
    // while the run finds nothing there any more.
    bool Disconnected(const std::string& path) const {
        if (!HasDrive(path)) {
            return false;
        }
        const auto connection = Find('c', connections, UpperAZ(path.substr(0, 2)));
        return connection != connections.end() && !connection->second;
    }

    // The share's own files are read from this machine whatever the check
    // looks at; every other file is a fact of the workstation.
    bool Known(const std::string& given) const {
        const std::string path = Rewritten(given);
        if (sight == Sight::kWorkstation) {
            return true;
        }
        if (path.empty() || path[0] == '/') {
            return true;
        }
        if (!IsUncPath(path) && !HasDrive(path) && path[0] != '\\') {
            return true;
        }
        const std::string key = Key(path);
        return key.compare(0, shareKey.size(), shareKey) == 0 &&
               (key.size() == shareKey.size() || key[shareKey.size()] == '\\');
    }

    Fact Look(const std::string& given) {
        const std::string path = Rewritten(given);
        if (path.empty()) {
            return {Kind::kFolder, platform::kFileAttributeDirectory};  // the current folder
        }
        const auto node = Find('f', files, Key(path));
        if (node != files.end()) {
            return {node->second.kind, node->second.attributes};
        }
        if (Disconnected(path)) {
            return {Kind::kMissing, 0};
        }
        if (!Known(path)) {
            return {};
        }
        const uint32_t attributes = base.files().GetFileAttributesW(path);
        if (attributes == platform::kInvalidFileAttributes) {
            return {Kind::kMissing, 0};
        }
        if ((attributes & platform::kFileAttributeDirectory) != 0) {
            return {Kind::kFolder, attributes};
        }
        return {Kind::kFile, attributes};
    }

    // The folder a new file or folder goes into must be there.
    Win32Error NeedFolderOf(const std::string& path) {
        const std::string parent = ParentOf(path);
        const Fact folder = Look(parent);
        // Drive C is on every workstation.
        if (folder.kind == Kind::kUnknown && UpperAZ(parent) == "C:\\") {
            return platform::kErrorSuccess;
        }
        if (folder.kind == Kind::kUnknown) {
            Depend([&] {
                return parent.size() == 3 && HasDrive(parent)
                           ? "the drive " + parent.substr(0, 2) + " must exist"
                           : "the folder " + parent + " must exist";
            });
            return platform::kErrorSuccess;
        }
        return folder.kind == Kind::kFolder ? platform::kErrorSuccess
                                            : platform::kErrorPathNotFound;
    }

    // Whether the user's rights let him make or change a file or folder
    // there, as the default access lists of drive C: decide; every other
    // place is open to him. MayWrite tells a refusal.
    Win32Error Access(const std::string& path, platform::FileWrite write) const {
        const auto folder = platform::SystemDriveFolder(Key(path));
        return folder ? platform::SystemDriveAccess(rights, *folder, write)
                      : Win32Error(platform::kErrorSuccess);
    }

    Win32Error MayWrite(const std::string& path, platform::FileWrite write) {
        const Win32Error rc = Access(path, write);
        if (rc) {
            Refused(write == platform::FileWrite::kNewFolder    ? "make the folder " + path
                    : write == platform::FileWrite::kChangeFile ? "change the file " + path
                                                                : "make the file " + path);
        }
        return rc;
    }

    void Refused(const std::string& what) {
        refusals.push_back("a standard user may not " + what + ": only an administrator may");
    }

    // The same for a file that is `kind`: changed where it is there, made
    // where not; where only that decides, a note.
    Win32Error MayWriteFile(const std::string& path, Kind kind) {
        if (kind != Kind::kUnknown) {
            return MayWrite(path, kind == Kind::kFile ? platform::FileWrite::kChangeFile
                                                      : platform::FileWrite::kNewFile);
        }
        const Win32Error change = Access(path, platform::FileWrite::kChangeFile);
        const Win32Error make = Access(path, platform::FileWrite::kNewFile);
        if (change && make) {
            Refused("write the file " + path);
            return change;
        }
        if (make) {
            Depend([&] { return "the file " + path + " must exist: the user may not make it"; });
        }
        return platform::kErrorSuccess;
    }

    // A new file or folder, and every folder above it, is there from now on.
    void Put(const std::string& path, const Node& node) {
        std::vector<std::string> places{Key(path)};
        for (std::string parent = ParentOf(path); !parent.empty();) {
            places.push_back(Key(parent));
            const std::string above = ParentOf(parent);
            if (above == parent) {
                break;
            }
            parent = above;
        }
        Change([places = std::move(places), node](State& s) {
            s.files[places.front()] = node;
            for (size_t i = 1; i < places.size(); ++i) {
                s.files.emplace(places[i],
                                Node{Kind::kFolder, platform::kFileAttributeDirectory, {}});
            }
        });
    }

    // --- registry ----------------------------------------------------------

    // `b`'s key names below `a`, with runs of "\\" read as one.
    static std::string Join(const std::string& a, const std::string& b) {
        std::string path = a;
        size_t at = 0;
        while (at <= b.size()) {
            size_t end = b.find('\\', at);
            if (end == std::string::npos) {
                end = b.size();
            }
            if (end > at) {
                if (!path.empty()) {
                    path += '\\';
                }
                path.append(b, at, end - at);
            }
            at = end + 1;
        }
        return path;
    }
    // The paths of KeyRef are joined already.
    static std::string KeyId(const KeyRef& ref) {
        return std::to_string(ref.root) + ":" + UpperAZ(ref.path);
    }
    static std::string KeyText(const KeyRef& ref) {
        return platform::RootName(ref.root) + (ref.path.empty() ? "" : "\\" + ref.path);
    }

    // A key below a hive the logon attached: the hive's contents are not
    // the workstation's until it is loaded, so they cannot be read here.
    bool InAttachedHive(const KeyRef& ref) const {
        if (ref.root != platform::kHkeyUsers) {
            return false;
        }
        const auto names = platform::SubKeyNames(ref.path);
        return !names.empty() && Has('h', hives, UpperAZ(names.front()));
    }

    enum class KeyFact { kExists, kCreatable, kFails };
    // Whether a key is there, or can be made, and the code when not.
    KeyFact LookKey(const KeyRef& ref, Win32Error* failure) {
        const KeyFact fact = LookKeyAsIs(ref, failure);
        // The workstation refused a key of the machine's to a user whose
        // rights refuse it anyway: his rights are why.
        if (sight == Sight::kWorkstation && fact == KeyFact::kFails &&
            *failure == platform::kErrorAccessDenied && platform::MachineKeyAccess(rights) &&
            (ref.root == platform::kHkeyLocalMachine || ref.root == platform::kHkeyClassesRoot)) {
            Refused("write " + KeyText(ref));
        }
        return fact;
    }

    KeyFact LookKeyAsIs(const KeyRef& ref, Win32Error* failure) {
        if (Has('k', keys, KeyId(ref))) {
            return KeyFact::kExists;
        }
        if (InAttachedHive(ref)) {
            return KeyFact::kCreatable;
        }
        // A key of HKEY_CLASSES_ROOT that the logon made in the user's own
        // classes is written there.
        if (ref.root == platform::kHkeyClassesRoot && !ref.path.empty() &&
            Has('k', keys, KeyId({platform::kHkeyCurrentUser, kUserClasses + ref.path}))) {
            return KeyFact::kExists;
        }
        if (sight != Sight::kWorkstation) {
            return LookKeyByRights(ref, failure);
        }
        platform::Registry& registry = base.registry();
        if (ref.path.empty()) {
            platform::UniqueRegKey root;
            *failure = platform::OpenRegKey(registry, ref.root, "", &root);
            return failure->ok() ? KeyFact::kExists : KeyFact::kFails;
        }
        const auto names = platform::SubKeyNames(ref.path);
        // The key itself, then each key above it: the nearest one there
        // must let the user make keys in it.
        for (size_t count = names.size(); count > 0; --count) {
            std::string path;
            for (size_t i = 0; i < count; ++i) {
                path += (i == 0 ? "" : "\\") + names[i];
            }
            platform::UniqueRegKey key;
            const Win32Error rc = platform::OpenRegKey(registry, ref.root, path, &key);
            if (rc.ok()) {
                return count == names.size() ? KeyFact::kExists : KeyFact::kCreatable;
            }
            if (rc != platform::kErrorFileNotFound) {
                *failure = rc;
                return KeyFact::kFails;
            }
        }
        // No key of the path is there: only a root can take it, if the user
        // may make keys in it, and no key is made directly below HKEY_USERS.
        if (ref.root == platform::kHkeyUsers) {
            *failure = platform::kErrorAccessDenied;
            return KeyFact::kFails;
        }
        platform::UniqueRegKey root;
        *failure = platform::OpenRegKey(registry, ref.root, "", &root);
        return failure->ok() ? KeyFact::kCreatable : KeyFact::kFails;
    }

    // A key of a workstation the check does not see, as the user's rights
    // decide it (platform/default_access.h).
    KeyFact LookKeyByRights(const KeyRef& ref, Win32Error* failure) {
        const bool machine =
            ref.root == platform::kHkeyLocalMachine || ref.root == platform::kHkeyClassesRoot;
        if (ref.root == platform::kHkeyUsers && !ref.path.empty()) {
            *failure = platform::kErrorAccessDenied;  // no key is made directly there
            return KeyFact::kFails;
        }
        if (!machine) {
            return ref.path.empty() ? KeyFact::kExists : KeyFact::kCreatable;
        }
        *failure = platform::MachineKeyAccess(rights);
        if (failure->ok()) {
            return ref.path.empty() ? KeyFact::kExists : KeyFact::kCreatable;
        }
        Refused("write " + KeyText(ref));
        if (ref.root == platform::kHkeyClassesRoot && !ref.path.empty()) {
            Depend([&] {
                return "the user writes " + KeyText(ref) + " only if his own " +
                       KeyText({platform::kHkeyCurrentUser, kUserClasses + ref.path}) + " exists";
            });
        }
        return KeyFact::kFails;
    }

    platform::RegKey NewHandle(KeyRef ref) {
        const platform::RegKey handle = nextHandle;
        nextHandle += 4;
        handles[handle] = std::move(ref);
        return handle;
    }

    std::optional<KeyRef> Ref(platform::RegKey key) const {
        if (platform::IsPredefinedKey(key)) {
            return KeyRef{key, {}};
        }
        const auto found = handles.find(key);
        return found == handles.end() ? std::nullopt : std::optional<KeyRef>(found->second);
    }

    // --- network -----------------------------------------------------------

    enum class Connected { kYes, kNo, kUnknown };
    Connected DeviceConnected(const std::string& device) {
        const auto known = Find('c', connections, UpperAZ(device));
        if (known != connections.end()) {
            return known->second ? Connected::kYes : Connected::kNo;
        }
        if (sight != Sight::kWorkstation) {
            return Connected::kUnknown;
        }
        std::string remote;
        const Win32Error rc = base.network().GetConnection(device, &remote);
        if (rc.ok()) {
            return Connected::kYes;
        }
        // A device name that is well formed but names no device at all
        // (Wine answers so for a free drive letter) has no connection either.
        const bool none = rc == platform::kErrorNotConnected ||
                          (rc == platform::kErrorBadDevice &&
                           platform::ClassifyDevice(device) != platform::DeviceKind::kInvalid);
        return none ? Connected::kNo : Connected::kUnknown;
    }
};

namespace {

using State = WhatIfPlatform::State;
using Kind = State::Kind;

class WhatIfFiles : public platform::Files {
  public:
    explicit WhatIfFiles(State& state) : s_(state) {}

    Win32Error ReadWholeFile(const std::string& path, std::string* contents) override {
        const auto node = s_.Find('f', s_.files, s_.Key(path));
        if (node != s_.files.end()) {
            if (node->second.kind == Kind::kFolder) {
                return platform::kErrorAccessDenied;
            }
            if (!node->second.source.empty()) {
                return ReadWholeFile(node->second.source, contents);
            }
        }
        if (s_.Disconnected(path)) {
            return platform::kErrorPathNotFound;
        }
        if (!s_.Known(path)) {
            s_.Depend([&] { return "the file " + path + " must exist"; });
            return platform::kErrorFileNotFound;
        }
        return s_.base.files().ReadWholeFile(s_.Rewritten(path), contents);
    }

    Win32Error FindFirst(const std::string& path, bool* isDirectory) override {
        const auto node = s_.Find('f', s_.files, s_.Key(path));
        if (node != s_.files.end() && !platform::EndsWithSeparator(path)) {
            *isDirectory = node->second.kind == Kind::kFolder;
            return platform::kErrorSuccess;
        }
        if (s_.Disconnected(path)) {
            return platform::kErrorPathNotFound;
        }
        if (!s_.Known(path)) {
            s_.Depend([&] { return "whether " + path + " exists"; });
            return platform::kErrorFileNotFound;
        }
        return s_.base.files().FindFirst(s_.Rewritten(path), isDirectory);
    }

    uint32_t GetFileAttributesW(const std::string& path) override {
        const State::Fact fact = s_.Look(path);
        if (!fact.Exists() || (fact.kind == Kind::kFile && platform::EndsWithSeparator(path))) {
            return platform::kInvalidFileAttributes;
        }
        return fact.attributes;
    }

    // The workstation's code page reads and writes text as it does.
    std::string Utf8FromAnsi(std::string_view bytes) override {
        return s_.base.files().Utf8FromAnsi(bytes);
    }
    std::string AnsiRoundTrip(std::string_view text) override {
        return s_.base.files().AnsiRoundTrip(text);
    }

    Win32Error GetLastWriteTime(const std::string& path, platform::FileTime* time) override {
        if (!s_.Known(path)) {
            return platform::kErrorFileNotFound;
        }
        return s_.base.files().GetLastWriteTime(s_.Rewritten(path), time);
    }

    Win32Error CopyFileW(const std::string& existing, const std::string& target,
                         bool failIfExists) override {
        if (LeadsNowhere(existing) || LeadsNowhere(target)) {
            return platform::kErrorPathNotFound;
        }
        const State::Fact source = s_.Look(existing);
        if (source.kind == Kind::kMissing) {
            return platform::kErrorFileNotFound;
        }
        if (source.kind == Kind::kFolder) {
            return platform::kErrorAccessDenied;
        }
        if (source.kind == Kind::kUnknown) {
            s_.Depend([&] { return "the file " + existing + " must exist"; });
        }
        if (platform::EndsWithSeparator(target) || !platform::IsValidNewName(target)) {
            return platform::kErrorInvalidName;
        }
        const State::Fact present = s_.Look(target);
        if (present.kind == Kind::kFolder) {
            return platform::kErrorAccessDenied;
        }
        if (const Win32Error rc = s_.NeedFolderOf(target)) {
            return rc;
        }
        if (present.kind == Kind::kFile) {
            if (failIfExists) {
                return platform::kErrorFileExists;
            }
            if (s_.Key(existing) == s_.Key(target)) {
                return platform::kErrorSharingViolation;
            }
            if ((present.attributes & kReadOnlyAttribute) != 0) {
                return platform::kErrorAccessDenied;
            }
        }
        if (const Win32Error rc = s_.MayWriteFile(target, present.kind)) {
            return rc;
        }
        // The copy keeps the source's attributes.
        const uint32_t attributes =
            source.kind == Kind::kFile ? source.attributes : kArchiveAttribute;
        s_.Put(target, {Kind::kFile, attributes, existing});
        s_.Did([&] {
            return Effect{effect::kFile,
                          "copy " + Quoted(existing) + " to " + Quoted(target),
                          {{"path", target}, {"source", existing}}};
        });
        return platform::kErrorSuccess;
    }

    Win32Error CreateDirectoryW(const std::string& path) override {
        if (LeadsNowhere(path)) {
            return platform::kErrorPathNotFound;
        }
        if (!platform::IsValidNewName(path)) {
            return platform::kErrorInvalidName;
        }
        if (s_.Look(path).Exists()) {
            return platform::kErrorAlreadyExists;
        }
        if (const Win32Error rc = s_.NeedFolderOf(path)) {
            return rc;
        }
        if (const Win32Error rc = s_.MayWrite(path, platform::FileWrite::kNewFolder)) {
            return rc;
        }
        s_.Put(path, {Kind::kFolder, platform::kFileAttributeDirectory, {}});
        s_.Did([&] {
            return Effect{effect::kFolder, "make the folder " + Quoted(path), {{"path", path}}};
        });
        return platform::kErrorSuccess;
    }

  private:
    State& s_;
};

class WhatIfRegistry : public platform::Registry {
  public:
    explicit WhatIfRegistry(State& state) : s_(state) {}

    Win32Error CreateKey(platform::RegKey base, const std::string& subKey,
                         platform::RegKey* result) override {
        return Reach(base, subKey, /*create=*/true, result);
    }

    Win32Error OpenKey(platform::RegKey base, const std::string& subKey,
                       platform::RegKey* result) override {
        return Reach(base, subKey, /*create=*/false, result);
    }

    Win32Error SetValue(platform::RegKey key, const std::string& name, uint32_t type,
                        const uint8_t* data, uint32_t size) override {
        const auto ref = s_.Ref(key);
        if (!ref) {
            return platform::kErrorInvalidHandle;
        }
        if (ref->root == platform::kHkeyUsers && ref->path.empty()) {
            return platform::kErrorAccessDenied;  // HKEY_USERS itself holds no values
        }
        platform::RegValue value{type, std::string(reinterpret_cast<const char*>(data), size)};
        if (s_.tell) {
            TellValue(*ref, name, value);
        }
        s_.Change([id = State::KeyId(*ref), upper = UpperAZ(name), value](State& s) {
            s.values[id][upper] = value;
        });
        return platform::kErrorSuccess;
    }

    Win32Error QueryValue(platform::RegKey key, const std::string& name, uint32_t* type,
                          uint8_t* data, uint32_t* size) override {
        const auto ref = s_.Ref(key);
        if (!ref) {
            return platform::kErrorInvalidHandle;
        }
        const auto values = s_.Find('v', s_.values, State::KeyId(*ref));
        if (values != s_.values.end()) {
            const auto value = values->second.find(UpperAZ(name));
            if (value != values->second.end()) {
                if (!value->second) {
                    return platform::kErrorFileNotFound;
                }
                return Give(*value->second, type, data, size);
            }
        }
        if (s_.InAttachedHive(*ref) || s_.sight != Sight::kWorkstation) {
            // Not knowable here: the value may be there.
            return Give({platform::kRegNone, {}}, type, data, size);
        }
        if (s_.Has('k', s_.keys, State::KeyId(*ref))) {
            return platform::kErrorFileNotFound;  // a key the logon makes holds nothing yet
        }
        platform::UniqueRegKey open;
        if (const Win32Error rc =
                platform::OpenRegKey(s_.base.registry(), ref->root, ref->path, &open)) {
            return rc;
        }
        return s_.base.registry().QueryValue(open.get(), name, type, data, size);
    }

    Win32Error DeleteValue(platform::RegKey key, const std::string& name) override {
        const auto ref = s_.Ref(key);
        if (!ref) {
            return platform::kErrorInvalidHandle;
        }
        s_.Change([id = State::KeyId(*ref), upper = UpperAZ(name)](State& s) {
            s.values[id][upper] = std::nullopt;
        });
        const std::string where = State::KeyText(*ref);
        s_.Did([&] {
            return Effect{
                effect::kDeleteValue,
                "delete " + (name.empty() ? "the default value of " + where : where + "\\" + name),
                {{"key", where}, {"name", name}}};
        });
        return platform::kErrorSuccess;
    }

    Win32Error CloseKey(platform::RegKey key) override {
        if (platform::IsPredefinedKey(key)) {
            return platform::kErrorSuccess;
        }
        return s_.handles.erase(key) > 0 ? platform::kErrorSuccess : platform::kErrorInvalidHandle;
    }

    Win32Error LoadKey(const std::string& subKey, const std::string& file) override {
        if (const Win32Error rc = platform::HiveLoadAccess(s_.rights)) {
            s_.Refused("load the hive " + file);
            return rc;
        }
        if (subKey.empty() || subKey.find('\\') != std::string::npos) {
            return platform::kErrorInvalidParameter;
        }
        if (s_.Has('h', s_.hives, UpperAZ(subKey))) {
            return platform::kErrorAlreadyExists;
        }
        const State::Fact fact = s_.Look(file);
        if (fact.kind == Kind::kMissing) {
            return platform::kErrorFileNotFound;
        }
        if (fact.kind == Kind::kFolder) {
            return platform::kErrorAccessDenied;
        }
        const auto hiveFact = [&file] {
            return "the file " + file + " must hold a registry hive that the user may load";
        };
        // A file the logon copied holds its source's bytes: the workstation
        // is asked about the file they come from.
        std::string holder = file;
        auto made = s_.Find('f', s_.files, s_.Key(holder));
        while (made != s_.files.end() && !made->second.source.empty()) {
            holder = made->second.source;
            made = s_.Find('f', s_.files, s_.Key(holder));
        }
        if (fact.kind == Kind::kUnknown || made != s_.files.end() || !s_.Known(holder)) {
            s_.Depend(hiveFact);
        } else {
            const Win32Error rc = s_.base.registry().CanLoadKey(subKey, holder);
            if (rc == platform::kErrorNotSupported) {
                s_.Depend(hiveFact);
            } else if (rc) {
                return rc;
            }
        }
        s_.Change([upper = UpperAZ(subKey)](State& s) { s.hives.insert(upper); });
        const std::string key = platform::RootName(platform::kHkeyUsers) + "\\" + subKey;
        s_.Did([&] {
            return Effect{effect::kHive,
                          "attach the hive " + Quoted(file) + " as " + key,
                          {{"key", key}, {"file", file}}};
        });
        return platform::kErrorSuccess;
    }

    Win32Error EnumKey(platform::RegKey, uint32_t, std::string*) override {
        return platform::kErrorNoMoreItems;
    }

    // The values the workstation has, less those the logon deleted, and
    // those the logon wrote.
    Win32Error EnumValue(platform::RegKey key, uint32_t index, std::string* name) override {
        const auto ref = s_.Ref(key);
        if (!ref) {
            return platform::kErrorInvalidHandle;
        }
        std::vector<std::string> names;
        std::set<std::string> seen;
        const auto values = s_.Find('v', s_.values, State::KeyId(*ref));
        const auto overlaid = [&](const std::string& upper) {
            return values != s_.values.end() && values->second.count(upper) != 0;
        };
        platform::UniqueRegKey open;
        if (s_.sight == Sight::kWorkstation && !s_.InAttachedHive(*ref) &&
            platform::OpenRegKey(s_.base.registry(), ref->root, ref->path, &open).ok()) {
            std::string found;
            for (uint32_t i = 0; s_.base.registry().EnumValue(open.get(), i, &found).ok(); ++i) {
                if (!overlaid(UpperAZ(found)) && seen.insert(UpperAZ(found)).second) {
                    names.push_back(found);
                }
            }
        }
        if (values != s_.values.end()) {
            for (const auto& [upper, value] : values->second) {
                if (value && seen.insert(upper).second) {
                    names.push_back(upper);
                }
            }
        }
        if (index >= names.size()) {
            return platform::kErrorNoMoreItems;
        }
        *name = names[index];
        return platform::kErrorSuccess;
    }

  private:
    // CreateKey and OpenKey: `create` makes a key that is not there.
    Win32Error Reach(platform::RegKey base, const std::string& subKey, bool create,
                     platform::RegKey* result) {
        const auto from = s_.Ref(base);
        if (!from) {
            return platform::kErrorInvalidHandle;
        }
        if (!create && subKey.empty() && platform::IsPredefinedKey(base)) {
            *result = base;
            return platform::kErrorSuccess;
        }
        // RegCreateKeyEx refuses a sub-key that begins with a backslash.
        if (create && !subKey.empty() && subKey.front() == '\\') {
            return platform::kErrorBadPathname;
        }
        if (const Win32Error tooLong = platform::SubKeyLengthError(subKey)) {
            return tooLong;
        }
        State::KeyRef ref{from->root, State::Join(from->path, subKey)};
        Win32Error failure;
        switch (s_.LookKey(ref, &failure)) {
            case State::KeyFact::kFails:
                return failure;
            case State::KeyFact::kCreatable:
                if (!create) {
                    return platform::kErrorFileNotFound;
                }
                // The key and every key above it are there from now on.
                s_.Change([ref](State& s) {
                    std::string path;
                    for (const std::string& name : platform::SubKeyNames(ref.path)) {
                        path += (path.empty() ? "" : "\\") + name;
                        s.keys.insert(State::KeyId({ref.root, path}));
                    }
                });
                s_.Did([&] {
                    return Effect{effect::kKey,
                                  "make the key " + State::KeyText(ref),
                                  {{"key", State::KeyText(ref)}}};
                });
                break;
            case State::KeyFact::kExists:
                break;
        }
        *result = s_.NewHandle(std::move(ref));
        return platform::kErrorSuccess;
    }

    // Tells a value written, its data as the registry will hold it.
    void TellValue(const State::KeyRef& ref, const std::string& name,
                   const platform::RegValue& value) {
        const uint32_t type = value.type;
        const std::string where = State::KeyText(ref);
        std::string typeWord, dataText, shown;
        switch (type) {
            case platform::kRegSz: {
                typeWord = "REG_SZ";
                dataText = value.data.substr(0, value.data.find('\0'));
                shown = Quoted(dataText);
                break;
            }
            case platform::kRegDword: {
                typeWord = "REG_DWORD";
                dataText = std::to_string(static_cast<int32_t>(platform::DwordOf(value.data)));
                shown = dataText;
                break;
            }
            default:
                typeWord = type == platform::kRegBinary ? "REG_BINARY" : std::to_string(type);
                dataText = HexText(value.data, "");
                shown = value.data.empty() ? "(no bytes)" : HexText(value.data, " ");
                break;
        }
        s_.Did([&] {
            return Effect{
                effect::kRegistryValue,
                "write " + typeWord + " " + shown + " to " +
                    (name.empty() ? "the default value of " + where : where + "\\" + name),
                {{"key", where}, {"name", name}, {"type", typeWord}, {"data", dataText}}};
        });
    }

    static Win32Error Give(const platform::RegValue& value, uint32_t* type, uint8_t* data,
                           uint32_t* size) {
        const auto length = static_cast<uint32_t>(value.data.size());
        if (type != nullptr) {
            *type = value.type;
        }
        if (data != nullptr && size != nullptr && *size < length) {
            *size = length;
            return platform::kErrorMoreData;
        }
        if (data != nullptr) {
            std::copy(value.data.begin(), value.data.end(), data);
        }
        if (size != nullptr) {
            *size = length;
        }
        return platform::kErrorSuccess;
    }

    State& s_;
};

class WhatIfNetwork : public platform::Network {
  public:
    explicit WhatIfNetwork(State& state) : s_(state) {}

    Win32Error GetUser(const std::string& localName, uint32_t bufferSize,
                       std::string* user) override {
        return s_.base.network().GetUser(localName, bufferSize, user);
    }

    Win32Error GetConnection(const std::string& localName, std::string* remoteName) override {
        const auto found = s_.Find('c', s_.connections, UpperAZ(localName));
        if (found != s_.connections.end()) {
            if (!found->second) {
                return platform::kErrorNotConnected;
            }
            *remoteName = *found->second;
            return platform::kErrorSuccess;
        }
        if (s_.sight != Sight::kWorkstation) {
            return platform::kErrorNotSupported;
        }
        return s_.base.network().GetConnection(localName, remoteName);
    }

    Win32Error CancelConnection(const std::string& name, uint32_t, bool) override {
        if (platform::IsRemoteName(name)) {
            if (!s_.Has('d', s_.deviceless, UpperAZ(name))) {
                return platform::kErrorNotConnected;
            }
            s_.Change([upper = UpperAZ(name)](State& s) { s.deviceless.erase(upper); });
            return platform::kErrorSuccess;
        }
        const State::Connected connected =
            name.empty() ? State::Connected::kNo : s_.DeviceConnected(name);
        if (connected == State::Connected::kNo) {
            return platform::kErrorNotConnected;
        }
        // A device that may be a local disk as well stays unknown.
        if (connected == State::Connected::kUnknown) {
            return platform::kErrorSuccess;
        }
        s_.Change([upper = UpperAZ(name)](State& s) { s.connections[upper] = std::nullopt; });
        s_.Did([&] {
            return Effect{
                effect::kDisconnection, "cancel the connection of " + name, {{"device", name}}};
        });
        return platform::kErrorSuccess;
    }

    Win32Error AddConnection(const platform::NetResource& resource, uint32_t) override {
        using platform::DeviceKind;
        const bool disk = resource.type == platform::kResourceTypeDisk;
        if (!disk && resource.type != platform::kResourceTypePrint) {
            return platform::kErrorInvalidParameter;
        }
        const std::string& local = resource.localName;
        const std::string& remote = resource.remoteName;
        const DeviceKind kind = platform::ClassifyDevice(local);
        if (kind == DeviceKind::kInvalid) {
            return platform::kErrorBadDevice;
        }
        if (kind != DeviceKind::kNone) {
            if (kind != (disk ? DeviceKind::kDrive : DeviceKind::kPrinterPort)) {
                return platform::kErrorBadDevType;
            }
            if (const Win32Error taken = Taken(local, kind)) {
                return taken;
            }
        }
        if (const Win32Error rc = ReachShare(remote, disk)) {
            return rc;
        }
        if (kind == DeviceKind::kNone) {
            // Never remembered, nothing to tell.
            s_.Change([upper = UpperAZ(remote)](State& s) { s.deviceless.insert(upper); });
            return platform::kErrorSuccess;
        }
        s_.Change([upper = UpperAZ(local), remote](State& s) { s.connections[upper] = remote; });
        s_.Did([&] {
            return Effect{effect::kConnection,
                          "connect " + local + " to " + remote,
                          {{"device", local}, {"remote", remote}}};
        });
        return platform::kErrorSuccess;
    }

  private:
    // A device already connected, or a drive letter that is a local disk,
    // is taken: ERROR_ALREADY_ASSIGNED.
    Win32Error Taken(const std::string& local, platform::DeviceKind kind) {
        switch (s_.DeviceConnected(local)) {
            case State::Connected::kYes:
                return platform::kErrorAlreadyAssigned;
            case State::Connected::kUnknown:
                if (kind == platform::DeviceKind::kDrive) {
                    s_.Depend([&] { return "the drive " + local + " must not be a local disk"; });
                }
                return platform::kErrorSuccess;
            case State::Connected::kNo:
                break;
        }
        if (kind != platform::DeviceKind::kDrive || s_.Has('c', s_.connections, UpperAZ(local))) {
            return platform::kErrorSuccess;
        }
        std::string remote;
        const bool baseConnected = s_.base.network().GetConnection(local, &remote).ok();
        const uint32_t root = s_.base.files().GetFileAttributesW(local + "\\");
        const bool localDisk = !baseConnected && root != platform::kInvalidFileAttributes &&
                               (root & platform::kFileAttributeDirectory) != 0;
        return localDisk ? platform::kErrorAlreadyAssigned : platform::kErrorSuccess;
    }

    // An unknown server gives ERROR_BAD_NETPATH; a malformed name or a share
    // that the server does not have gives ERROR_BAD_NET_NAME. A drive may be
    // connected to a share or to a folder inside it; a printer only to a
    // share itself.
    Win32Error ReachShare(const std::string& remote, bool disk) {
        const std::vector<std::string> parts = platform::UncComponents(remote);
        if (parts.size() < 2) {
            return platform::kErrorBadNetName;
        }
        const std::string share = "\\\\" + parts[0] + "\\" + parts[1];
        if (s_.sight != Sight::kWorkstation) {
            s_.Depend([&] { return "the share " + share + " must exist and let the user in"; });
            return platform::kErrorSuccess;
        }
        bool isFolder = false;
        const Win32Error rc = s_.base.files().FindFirst(share, &isFolder);
        if (rc == platform::kErrorBadNetPath || rc == platform::kErrorBadNetName) {
            return rc;
        }
        if (rc) {
            s_.Depend([&] { return "the share " + share + " must exist and let the user in"; });
            return platform::kErrorSuccess;
        }
        if (!disk) {
            return parts.size() == 2 ? platform::kErrorSuccess : platform::kErrorBadNetName;
        }
        if (!isFolder) {
            return platform::kErrorBadDevType;  // a printer share cannot be a drive
        }
        if (parts.size() > 2 && s_.Look(remote).kind != Kind::kFolder) {
            return platform::kErrorBadNetName;
        }
        return platform::kErrorSuccess;
    }

    State& s_;
};

class WhatIfProfile : public platform::Profile {
  public:
    explicit WhatIfProfile(State& state) : s_(state) {}

    std::string PlaceOfFile(const std::string& file) override {
        return s_.base.profile().PlaceOfFile(file);
    }

    Win32Error WritePrivateProfileStringW(const std::string& section, const std::string& key,
                                          const std::string& value,
                                          const std::string& file) override {
        if (file.empty()) {
            return platform::kErrorAccessDenied;
        }
        if (!platform::IsValidNewName(file)) {
            return platform::kErrorInvalidName;
        }
        const std::string place = PlaceOfFile(file);
        const bool bare = file.find_first_of("\\/") == std::string::npos;
        if (LeadsNowhere(place)) {
            return platform::kErrorPathNotFound;
        }
        const State::Fact fact = s_.Look(place);
        if (fact.kind == Kind::kFolder ||
            (fact.kind == Kind::kFile && (fact.attributes & kReadOnlyAttribute) != 0)) {
            return platform::kErrorAccessDenied;
        }
        // The folder's access list decides before the file's own.
        if (const Win32Error rc = s_.MayWriteFile(place, fact.kind)) {
            return rc;
        }
        if (fact.kind == Kind::kUnknown) {
            s_.Depend([&] { return "the file " + place + " must be writable where it exists"; });
        }
        // The Windows directory of a bare name is on every installation.
        if (!bare && fact.kind != Kind::kFile) {
            if (const Win32Error rc = s_.NeedFolderOf(place)) {
                return rc;
            }
        }
        // Names and value as the file will hold them.
        const bool everyLetter = fact.kind == Kind::kFile && HoldsEveryLetter(place);
        const auto held = [&](const std::string& text) {
            return everyLetter ? text : s_.base.files().AnsiRoundTrip(text);
        };
        const std::string heldSection = held(section), heldKey = held(key), heldValue = held(value);
        const bool lost = heldSection != section || heldKey != key || heldValue != value;
        if (fact.kind != Kind::kFile) {
            s_.Put(place, {Kind::kFile, kArchiveAttribute, {}});
        }
        s_.Did([&] {
            return Effect{effect::kIniValue,
                          "write " + Quoted(heldKey + "=" + heldValue) + " in section [" +
                              heldSection + "] of " + Quoted(place) +
                              (lost ? " (its code page lacks letters of the line: a UTF-16 file "
                                      "keeps them)"
                                    : ""),
                          {{"file", place},
                           {"section", heldSection},
                           {"key", heldKey},
                           {"value", heldValue}}};
        });
        return platform::kErrorSuccess;
    }

  private:
    // Whether the INI file keeps every letter. Windows writes a file back in
    // the encoding it has: one that starts with a byte-order mark (UTF-16,
    // or UTF-8) keeps every letter; any other, and one this logon makes, is
    // text of the ANSI code page.
    bool HoldsEveryLetter(const std::string& place) {
        std::string bytes;
        const auto node = s_.Find('f', s_.files, s_.Key(place));
        if (node != s_.files.end()) {
            if (node->second.source.empty() ||
                s_.base.files().ReadWholeFile(s_.Rewritten(node->second.source), &bytes) != 0) {
                return false;
            }
        } else if (!s_.Known(place) ||
                   s_.base.files().ReadWholeFile(s_.Rewritten(place), &bytes) != 0) {
            return false;
        }
        return platform::MarkOf(bytes) != platform::ByteOrderMark::kNone;
    }

    State& s_;
};

}  // namespace

struct WhatIfPlatform::Parts {
    explicit Parts(State& state) : files(state), registry(state), network(state), profile(state) {}
    WhatIfFiles files;
    WhatIfRegistry registry;
    WhatIfNetwork network;
    WhatIfProfile profile;
    platform::RefusingToolkit toolkit;
    platform::RefusingEventLog eventLog;
};

WhatIfPlatform::WhatIfPlatform(const platform::Services& base, Sight sight,
                               const std::string& shareDir, platform::Rights rights)
    : state_(std::make_unique<State>(base, sight, shareDir, rights)),
      parts_(std::make_unique<Parts>(*state_)) {}

WhatIfPlatform::~WhatIfPlatform() = default;

platform::Services WhatIfPlatform::services() {
    return platform::Services(parts_->registry, parts_->network, state_->base.system(),
                              parts_->files, parts_->profile, parts_->toolkit, parts_->eventLog);
}

std::vector<Effect> WhatIfPlatform::TakeEffects() {
    return std::exchange(state_->effects, {});
}

std::vector<std::string> WhatIfPlatform::TakeRefusals() {
    return std::exchange(state_->refusals, {});
}

std::vector<std::string> WhatIfPlatform::TakeDepends() {
    return std::exchange(state_->depends, {});
}

void WhatIfPlatform::Tell(bool tell) {
    state_->tell = tell;
}

void WhatIfPlatform::Record() {
    State& s = *state_;
    s.recording = true;
    s.reads.clear();
    s.changes.clear();
}

Replay WhatIfPlatform::Recorded() {
    State& s = *state_;
    s.recording = false;
    Replay replay;
    replay.reads_ = std::move(s.reads);
    replay.changes_ = std::move(s.changes);
    return replay;
}

bool WhatIfPlatform::Replays(const Replay& replay) {
    State& s = *state_;
    for (const Replay::Read& read : replay.reads_) {
        if (s.SeenNow(read) != read.seen) {
            return false;
        }
    }
    for (const auto& change : replay.changes_) {
        change(&s);
    }
    return true;
}

void WhatIfPlatform::Forget() {
    State& s = *state_;
    s.files.clear();
    s.keys.clear();
    s.values.clear();
    s.hives.clear();
    s.connections.clear();
    s.deviceless.clear();
    s.handles.clear();
    s.effects.clear();
    s.depends.clear();
    s.refusals.clear();
}

}  // namespace check
