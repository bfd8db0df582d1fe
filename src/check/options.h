// The checker's command line.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

#include "check/checker.h"
#include "check/site.h"

namespace check {

struct Options {
    CheckRequest request;
    bool json = false;
    bool csv = false;
    std::string htmlFile;  // empty: no page
    bool allUsers = false;
    bool allMachines = false;
    bool here = false;  // the logon runs against this machine
    bool help = false;
    bool version = false;

    // A site check: more than one logon, or a report only a site check makes.
    bool Site() const { return allUsers || allMachines || csv || !htmlFile.empty(); }
    // The logons a site check of these options covers.
    SiteRequest Logons() const { return {request, allUsers, allMachines}; }
};

// A report in the form the options ask for: JSON, CSV (a site check's
// only) or text.
std::string FormatReport(const Options& options, const CheckReport& report);
std::string FormatReport(const Options& options, const SiteReport& report);

// A command line the checker cannot use; its text says why.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// tarnwick-check (--user NAME | --all-users) (--machine NAME | --all-machines)
//   [--userlist FILE] [--settings FILE] [--datetime TEXT] [--here]
//   [--rights standard|administrator]
//   [--json | --csv] [--html FILE] SHARE
// tarnwick-check --help | --version
// Values follow their option as the next argument or after "=".
Options ParseOptions(const std::vector<std::string>& args);

// The usage text that --help prints and a usage error follows.
std::string UsageText();

}  // namespace check
