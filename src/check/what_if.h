// The workstation as the checker runs a logon on it: the program's own
// steps run unchanged, and the platform they call answers as the
// workstation would, without changing it.
//   - Reads come from the workstation, read only, overlaid with what the
//     logon's earlier calls would have changed.
//   - Writes are told, as effects, and remembered for the calls after
//     them; none is made.
//   - Every fact a call depends on is known from the workstation, known
//     from an earlier call, or not knowable here. A fact that cannot be
//     known is noted ("depends on the workstation: ...") and the call goes
//     on as if it held, so what follows is told too; it is never a stated
//     certainty.
// What decides a call from its text alone (a device name, a UNC name, a key
// name's length, a file name's characters) is asked of the same rules the
// platform itself applies (platform/names.h).
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/default_access.h"
#include "platform/platform.h"

namespace check {

// One change the logon would make.
struct Effect {
    std::string kind;  // a fixed word, one of effect::k...
    std::string text;  // for people
    // For tools, in order: "path", "source", "key", "name", "type", "data",
    // "file", "section", "value", "device", "remote", as the kind has them.
    std::vector<std::pair<std::string, std::string>> fields;
};

namespace effect {
inline constexpr const char* kFile = "file";                    // path, source
inline constexpr const char* kFolder = "folder";                // path
inline constexpr const char* kKey = "key";                      // key
inline constexpr const char* kRegistryValue = "registry";       // key, name, type, data
inline constexpr const char* kDeleteValue = "delete";           // key, name
inline constexpr const char* kIniValue = "ini";                 // file, section, key, value
inline constexpr const char* kConnection = "connection";        // device, remote
inline constexpr const char* kDisconnection = "disconnection";  // device
inline constexpr const char* kHive = "hive";                    // key, file
}  // namespace effect

// What the check looks at.
enum class Sight {
    // The workstation the base services show: the stand-in's state folder,
    // or the Windows machine the check runs on, for the user who runs it.
    kWorkstation,
    // No workstation: only the share is read; every other fact depends.
    kShareOnly,
};

class WhatIfPlatform;

// What one line did to the what-if workstation, to be done again without
// running the line: what it saw at each place of the overlay it looked at,
// and the changes it made there. Everything else it asked was the
// workstation's, which does not change while the check runs.
class Replay {
  private:
    friend class WhatIfPlatform;
    struct Read {
        char tag;  // which part of the overlay
        std::string key;
        size_t seen;  // a hash of what the place held; 0 for nothing
    };
    std::vector<Read> reads_;
    std::vector<std::function<void(void*)>> changes_;
};

class WhatIfPlatform {
  public:
    // `base` is read and never written; `shareDir` is the share's folder on
    // this machine (relative paths lie in it, as the program runs there).
    // `rights` are the user's: what the default access lists of Windows
    // refuse him is refused (platform/default_access.h); where the check
    // sees the workstation, its registry answers for its own keys.
    WhatIfPlatform(const platform::Services& base, Sight sight, const std::string& shareDir,
                   platform::Rights rights);
    ~WhatIfPlatform();
    WhatIfPlatform(const WhatIfPlatform&) = delete;
    WhatIfPlatform& operator=(const WhatIfPlatform&) = delete;

    // The files, registry, network and profile strings of the what-if; the
    // base's system; a toolkit and an event log that refuse.
    platform::Services services();

    // The effects, and the facts that could not be known, since the last
    // call; each fact once.
    std::vector<Effect> TakeEffects();
    std::vector<std::string> TakeDepends();
    // What the user's rights refused since the last call, told always:
    // "a standard user may not ...".
    std::vector<std::string> TakeRefusals();
    // A new logon on the same workstation: every earlier effect is forgotten.
    void Forget();
    // Whether effects and facts are told at all (they are by default); a
    // caller that needs only the messages saves the telling.
    void Tell(bool tell);

    // A line between Record() and Recorded() is noted. Replays() does what
    // a recorded line did when every place of the overlay it looked at
    // holds what it held then: the line, given the same text, then does
    // exactly that again. Otherwise it changes nothing and answers false.
    void Record();
    Replay Recorded();
    bool Replays(const Replay& replay);

    struct State;

  private:
    struct Parts;
    std::unique_ptr<State> state_;
    std::unique_ptr<Parts> parts_;
};

}  // namespace check
