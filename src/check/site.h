// The check of a whole site: every user on a machine, every machine for a
// user, or every pair, each logon told exactly as the single check tells
// it, and one report of what they have in common.
#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "check/checker.h"

namespace check {

// The most logons one site check makes.
inline constexpr size_t kMostLogons = 1000000;
// How many names of the logons a finding affects the report gives.
inline constexpr size_t kFirstNames = 5;

struct SiteRequest {
    CheckRequest base;         // the share, the settings and the rest, for every logon
    bool allUsers = false;     // else base.user alone
    bool allMachines = false;  // else base.machine alone
};

// One finding, however many logons have it.
struct SiteFinding {
    Severity severity = Severity::kFlag;
    std::string kind, text, message;
    std::string file;  // empty: about the logon as a whole
    int line = 0;
    std::string lineText;  // the script line as its file holds it
    int logons = 0;
    std::vector<std::string> firstNames;  // of the first kFirstNames logons
};

struct FlaggedLogon {
    std::string name;  // as the report names it (see LogonName)
    std::string user, machine, fullName;
    std::vector<size_t> findings;  // indexes into SiteReport::findings
};

struct SiteReport {
    std::string shareDir, settingsFile;
    std::string scope;  // "every user on WS01", ...
    int logons = 0;
    long long scriptLines = 0;
    std::map<std::string, int> kinds;   // every finding of every logon, by kind
    int flags = 0, notes = 0;           // the same, by severity
    std::vector<SiteFinding> findings;  // in the order first met
    std::vector<FlaggedLogon> flagged;  // the logons with a flag
    // The lines the user's rights refuse, over every logon, and each user
    // they hit, in the order first met.
    int refusedLines = 0;
    std::vector<std::string> refusedUsers;
    int Clean() const { return logons - static_cast<int>(flagged.size()); }
};

// How the report names a logon: by what varies in the site check.
std::string LogonName(const SiteRequest& request, const std::string& user,
                      const std::string& machine);

// Raises CheckError for a share folder that is not there, and UsageError
// (check/options.h) for more than kMostLogons logons.
SiteReport CheckSite(const SiteRequest& request);

}  // namespace check
