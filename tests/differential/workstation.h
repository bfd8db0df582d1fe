// The machine one share is run on: the stand-in workstation in a fresh
// state directory natively, the real Windows calls under Wine. It clears
// what an earlier run left, starts the program in the share, closes its
// window once the script has run, and gives the services through which
// what the run left is read back.
#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace differential {

struct Identity {
    std::string user, machine;
};

struct RunResult {
    bool ended = false;  // false: it had to be killed
    unsigned long exitCode = 0;
    std::string messageBox;  // "[caption] text" of a message box it showed, if any
};

class Workstation {
  public:
    virtual ~Workstation() = default;
    // The logon identity the program will see.
    virtual Identity identity() = 0;
    // Removes what a run leaves outside the share: the registry keys of the
    // suite and the run record, the folder C:\TarnwickDiff.
    virtual void Reset() = 0;
    // Runs `program` (copied into `share` beforehand) with `share` as its
    // current directory, until its window can be closed.
    virtual RunResult Run(const std::filesystem::path& program,
                          const std::filesystem::path& share) = 0;
    // The services to read the registry through after the run.
    virtual platform::Services services() = 0;
    // Where a Windows path lies on this machine.
    virtual std::filesystem::path HostPath(const std::string& windowsPath) = 0;
};

// The workstation of this build; `identity` is used where the platform lets
// the identity be chosen (the stand-in), and `scratch` holds its state.
std::unique_ptr<Workstation> CreateWorkstation(const std::filesystem::path& scratch,
                                               const Identity& identity);

}  // namespace differential
