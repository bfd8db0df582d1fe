// The machine one share is run on: the stand-in workstation in a fresh
// state directory natively, the real Windows calls under Wine. It clears
// what an earlier run left, starts the program in the share, closes its
// window once the script has run, and gives the services through which
// what the run left is read back. The differential suite runs its shares
// on it, and the end-to-end catalogue of malformed input its cases.
#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace differential {

struct Identity {
    std::string user, machine;
    // Stand-in only: the user's rights as identity.ini takes them (empty: a
    // standard user's, the default). Wine runs everyone as an administrator.
    std::string rights;
};

// How a run is made; the defaults are the differential suite's.
struct RunOptions {
    // A run that has not ended by then is killed.
    std::chrono::seconds limit{60};
    // Windows: the login window is read, then left to take its course until
    // its button can be pressed, and pressed, instead of being closed as soon
    // as it shows. (The stand-in's program presses its button itself.)
    bool pressButton = false;
    // Stand-in only: the most bytes a file may grow to (0: no limit); a write
    // past it fails as on a full disk.
    uint64_t fileSizeLimit = 0;
    // Stand-in only: the program runs where file permissions hold for it
    // (as an unprivileged user when the suite runs as root).
    bool unprivileged = false;
};

struct RunResult {
    bool ended = false;  // false: it had to be killed
    unsigned long exitCode = 0;
    std::string messageBox;  // "[caption] text" of the last message box it showed, if any
    // Every message box, "[caption] text" and a line end each; on the
    // stand-in, everything the program wrote to standard error.
    std::string report;
    // Why this workstation cannot make such a run at all (no display for
    // the window, no unprivileged user to run as); the run was not made.
    std::string unsupported;
    // Why the run could not be made or did not end; empty when it ended.
    std::string failure;
    // The login window as it first showed: a line per control, by control
    // name (see Workstation::Drawn), and the lines of its diagnostics list.
    std::map<std::string, std::string> window;
    std::vector<std::string> diagnostics;
};

class Workstation {
  public:
    virtual ~Workstation() = default;
    // The stand-in, whose behaviour some checks pin alone.
    virtual bool IsStandin() const = 0;
    // Wine, which some checks pin where it is not yet Windows.
    virtual bool IsWine() const = 0;
    // The logon identity the program will see.
    virtual Identity identity() = 0;
    // Removes what a run leaves outside the share: the registry keys of the
    // suite and the run record, the folder C:\TarnwickDiff, and the keys
    // named in `keys` below HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and
    // HKEY_CLASSES_ROOT.
    virtual void Reset(const std::vector<std::string>& keys) = 0;
    // Runs `program` (copied into `share` beforehand) with `share` as its
    // current directory, until its window can be closed.
    virtual RunResult Run(const std::filesystem::path& program, const std::filesystem::path& share,
                          const RunOptions& options) = 0;
    // The services to read the registry through after the run.
    virtual platform::Services services() = 0;
    // Where a Windows path lies on this machine.
    virtual std::filesystem::path HostPath(const std::string& windowsPath) = 0;
    // Makes a named pipe, where the file system has them.
    virtual bool MakeFifo(const std::filesystem::path& path) = 0;

    // How RunResult::window shows a control that holds `text`, with
    // `background` ("#RRGGBB", or empty for none given) where this
    // workstation tells colours; nothing where it cannot tell the text (the
    // rich-text box on Windows gives back its own reading of the news).
    virtual std::optional<std::string> Drawn(const std::string& control, const std::string& text,
                                             const std::string& background) = 0;
    // How RunResult::diagnostics shows a line of the diagnostics list.
    virtual std::string DrawnLine(const std::string& line) = 0;
};

// The workstation of this build; `identity` is used where the platform lets
// the identity be chosen (the stand-in), and `scratch` holds its state.
std::unique_ptr<Workstation> CreateWorkstation(const std::filesystem::path& scratch,
                                               const Identity& identity);

}  // namespace differential
