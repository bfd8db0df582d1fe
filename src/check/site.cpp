#include "check/site.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "check/options.h"
#include "core/strings.h"

namespace check {

namespace {

std::string Scope(const SiteRequest& request, size_t users, size_t machines) {
    const std::string someUsers = "every user (" + std::to_string(users) + ")";
    const std::string someMachines = "every machine (" + std::to_string(machines) + ")";
    if (request.allUsers && request.allMachines) {
        return someUsers + " on " + someMachines;
    }
    if (request.allUsers) {
        return someUsers + " on " + request.base.machine;
    }
    if (request.allMachines) {
        return request.base.user + " on " + someMachines;
    }
    // One logon, in a site report because --csv or --html asked for one.
    return request.base.user + " on " + request.base.machine;
}

// Gathers the logons' findings, each distinct one once.
class Tally {
  public:
    explicit Tally(SiteReport& report) : report_(report) {}

    void Add(const std::string& name, const CheckReport& logon) {
        ++report_.logons;
        report_.scriptLines += logon.lineCount;
        FlaggedLogon flagged{name, logon.user, logon.machine, logon.fullName, {}};
        bool anyFlag = false;
        bool refused = false;
        const auto add = [&](const Finding& finding, const CheckedLine* line) {
            if (finding.kind == kind::kRights) {
                ++report_.refusedLines;
                refused = true;
            }
            flagged.findings.push_back(Index(name, finding, line));
            anyFlag = anyFlag || finding.severity == Severity::kFlag;
            ++report_.kinds[finding.kind];
            ++(finding.severity == Severity::kFlag ? report_.flags : report_.notes);
        };
        for (const Finding& finding : logon.findings) {
            add(finding, nullptr);
        }
        for (const CheckedLine& line : logon.lines) {
            for (const Finding& finding : line.findings) {
                add(finding, &line);
            }
        }
        if (refused && refusedUsers_.insert(core::UpperAZ(logon.user)).second) {
            report_.refusedUsers.push_back(logon.user);
        }
        if (anyFlag) {
            report_.flagged.push_back(std::move(flagged));
        }
    }

  private:
    size_t Index(const std::string& name, const Finding& finding, const CheckedLine* line) {
        std::string key = finding.severity == Severity::kFlag ? "!" : "-";
        for (const std::string* part : {&finding.kind, &finding.text, &finding.message}) {
            key += *part + '\0';
        }
        if (line != nullptr) {
            key += line->file + '\0' + std::to_string(line->number);
        }
        auto [at, added] = index_.emplace(std::move(key), report_.findings.size());
        if (added) {
            SiteFinding site;
            site.severity = finding.severity;
            site.kind = finding.kind;
            site.text = finding.text;
            site.message = finding.message;
            if (line != nullptr) {
                site.file = line->file;
                site.line = line->number;
                site.lineText = line->text;
            }
            report_.findings.push_back(std::move(site));
        }
        SiteFinding& site = report_.findings[at->second];
        ++site.logons;
        if (site.firstNames.size() < kFirstNames) {
            site.firstNames.push_back(name);
        }
        return at->second;
    }

    SiteReport& report_;
    std::unordered_map<std::string, size_t> index_;
    std::unordered_set<std::string> refusedUsers_;  // upper-cased: names ignore case
};

}  // namespace

std::string LogonName(const SiteRequest& request, const std::string& user,
                      const std::string& machine) {
    if (request.allUsers && request.allMachines) {
        return user + " on " + machine;
    }
    return request.allUsers || !request.allMachines ? user : machine;
}

namespace {

// Below this many logons a second reader does not pay for itself.
constexpr size_t kLogonsForTwoReaders = 64;

struct Logon {
    std::string user, machine;
};

}  // namespace

SiteReport CheckSite(const SiteRequest& request) {
    ShareReader reader(request.base);
    const std::vector<std::string> users =
        request.allUsers ? reader.Users() : std::vector<std::string>{request.base.user};
    const std::vector<std::string> machines =
        request.allMachines ? reader.Machines() : std::vector<std::string>{request.base.machine};
    if (users.size() * machines.size() > kMostLogons) {
        throw UsageError(std::to_string(users.size()) + " users on " +
                         std::to_string(machines.size()) + " machines are " +
                         std::to_string(users.size() * machines.size()) +
                         " logons: a site check makes at most " + std::to_string(kMostLogons));
    }

    SiteReport report;
    report.shareDir = request.base.shareDir;
    report.settingsFile =
        request.base.settingsFile.empty() ? kSettingsFileName : request.base.settingsFile;
    report.scope = Scope(request, users.size(), machines.size());
    std::vector<Logon> logons;
    for (const std::string& user : users) {
        for (const std::string& machine : machines) {
            logons.push_back({user, machine});
        }
    }
    // The logons are independent: with two cores, a second reader of its
    // own (contexts, caches and what-if workstation apart; the platform is
    // only read) checks the second half beside the first.
    const bool split =
        logons.size() >= kLogonsForTwoReaders && std::thread::hardware_concurrency() >= 2;
    const size_t half = split ? logons.size() / 2 : logons.size();
    std::vector<CheckReport> later;
    std::exception_ptr failure;
    std::thread second;
    std::unique_ptr<ShareReader> helper;
    if (split) {
        // The first reader is in the share folder now: the second names it
        // whole, and is let go first, so the folder before them comes back.
        CheckRequest whole = request.base;
        whole.shareDir = std::filesystem::current_path().string();
        helper = std::make_unique<ShareReader>(whole);
        later.reserve(logons.size() - half);
        second = std::thread([&] {
            try {
                for (size_t i = half; i < logons.size(); ++i) {
                    later.push_back(helper->Check(logons[i].user, logons[i].machine, false));
                }
            } catch (...) {
                failure = std::current_exception();
            }
        });
    }
    Tally tally(report);
    try {
        for (size_t i = 0; i < half; ++i) {
            tally.Add(LogonName(request, logons[i].user, logons[i].machine),
                      reader.Check(logons[i].user, logons[i].machine, false));
        }
    } catch (...) {
        if (second.joinable()) {
            second.join();
        }
        throw;
    }
    if (second.joinable()) {
        second.join();
    }
    helper.reset();
    if (failure) {
        std::rethrow_exception(failure);
    }
    for (size_t i = 0; i < later.size(); ++i) {
        const Logon& logon = logons[half + i];
        tally.Add(LogonName(request, logon.user, logon.machine), later[i]);
    }
    return report;
}

}  // namespace check
