#include "check/site.h"

#include <unordered_map>

#include "check/options.h"

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
        const auto add = [&](const Finding& finding, const CheckedLine* line) {
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
};

}  // namespace

std::string LogonName(const SiteRequest& request, const std::string& user,
                      const std::string& machine) {
    if (request.allUsers && request.allMachines) {
        return user + " on " + machine;
    }
    return request.allUsers || !request.allMachines ? user : machine;
}

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
    Tally tally(report);
    for (const std::string& user : users) {
        for (const std::string& machine : machines) {
            tally.Add(LogonName(request, user, machine), reader.Check(user, machine, false));
        }
    }
    return report;
}

}  // namespace check
