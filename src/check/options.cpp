#include "check/options.h"

#include <CLI/CLI.hpp>
#include <optional>

#include "check/report.h"
#include "check/site_report.h"
#include "logon/identity.h"

namespace check {

namespace {

// Also the source of the man page (help2man): "Usage:" and "or:" lines, the
// description, then "Options:".
constexpr const char* kUsage =
    "Usage: tarnwick-check --user NAME --machine NAME [options] SHARE\n"
    "  or:  tarnwick-check --all-users --machine NAME [options] SHARE\n"
    "  or:  tarnwick-check --all-machines --user NAME [options] SHARE\n"
    "  or:  tarnwick-check --all-users --all-machines [options] SHARE\n"
    "\n"
    "Tells what the logon of a user on a machine would do, line by line, from the\n"
    "login share in the folder SHARE and its settings file, without changing\n"
    "anything. Relative paths of --userlist and --settings are taken from SHARE,\n"
    "as the program's are; that of --html from the current folder.\n"
    "With --all-users or --all-machines (or both: every pair) it checks every\n"
    "logon of the site and reports each finding once, with the logons it affects.\n"
    "\n"
    "Exit code: 0 when nothing is flagged, 1 when something is, 2 when the check\n"
    "cannot be made (a usage error, a share folder that is not there).\n"
    "\n"
    "Options:\n"
    "  --user NAME       the login name (required unless --all-users)\n"
    "  --machine NAME    the machine name (required unless --all-machines)\n"
    "  --all-users       every user with a script file or a full name\n"
    "  --all-machines    every machine with a script file\n"
    "  --userlist FILE   the full-name list (default: the UserList setting)\n"
    "  --settings FILE   the settings file (default tarnwick.INI)\n"
    "  --datetime TEXT   what %DateTime% stands for (default: now)\n"
    "  --here            run the logon's lines against this machine, for the user\n"
    "                    running the check: its files, registry and connections\n"
    "                    (the stand-in always looks at its state folder); without\n"
    "                    it, what only a workstation can tell is marked \"depends\"\n"
    "  --rights WHO      the user's rights where the check looks at no workstation:\n"
    "                    standard (the default) or administrator; a standard user\n"
    "                    may not write the machine's keys, load hives or write in\n"
    "                    C:\\Windows and C:\\Program Files\n"
    "  --json            the report as JSON\n"
    "  --csv             the site report as CSV, one finding a row\n"
    "  --html FILE       also write the site report to FILE as one web page\n"
    "  --help            this text\n"
    "  --version         the program's version\n";

// The options that take a value, and the flags.
constexpr const char* kValueOptions[] = {"--user",     "--machine", "--userlist", "--settings",
                                         "--datetime", "--html",    "--rights"};
constexpr const char* kFlags[] = {"--json", "--csv",  "--all-users", "--all-machines",
                                  "--here", "--help", "-h",          "--version"};

template <size_t N>
bool Among(const std::string& name, const char* const (&names)[N]) {
    for (const char* entry : names) {
        if (name == entry) {
            return true;
        }
    }
    return false;
}

// Put before every value handed to CLI11, and taken off again: a value may
// be empty or begin with a dash, and CLI11 would take either as no value.
constexpr char kValueMark = 'v';

// The command line with every value marked and joined to its option
// ("--user=v-x"); CLI11 then takes each value as it stands.
std::vector<std::string> Joined(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            out.insert(out.end(), args.begin() + static_cast<long>(i), args.end());
            break;
        }
        const std::string name = arg.substr(0, arg.find('='));
        if (arg.size() < 2 || arg[0] != '-') {
            out.push_back(arg);
        } else if (Among(name, kValueOptions) && name == arg) {
            if (i + 1 >= args.size()) {
                throw UsageError(name + " needs a value");
            }
            out.push_back(name + "=" + kValueMark + args[++i]);
        } else if (Among(name, kValueOptions)) {
            out.push_back(name + "=" + kValueMark + arg.substr(name.size() + 1));
        } else if (Among(name, kFlags) && name != arg) {
            throw UsageError(name + " takes no value");
        } else if (!Among(name, kValueOptions) && !Among(name, kFlags)) {
            throw UsageError("unknown option " + name);
        } else {
            out.push_back(arg);
        }
    }
    return out;
}

std::optional<std::string> Once(const std::vector<std::string>& values, const std::string& name) {
    if (values.size() > 1) {
        throw UsageError(name + " is given twice");
    }
    return values.empty() ? std::nullopt : std::optional<std::string>(values.front().substr(1));
}

// A user or machine name must be one the system can supply: not empty and
// short enough for the buffer the program reads it into.
std::string Identity(const std::optional<std::string>& value, const char* option) {
    if (!value) {
        throw UsageError(std::string(option) + " is required");
    }
    if (value->empty()) {
        throw UsageError(std::string(option) + " must not be empty");
    }
    if (value->size() >= logon::kIdentityBufferSize) {
        throw UsageError(std::string(option) + " must be shorter than " +
                         std::to_string(logon::kIdentityBufferSize) +
                         " characters: the system cannot supply a longer name");
    }
    return *value;
}

// The name given with NAME, or none when ALL names every one instead.
std::string IdentityUnlessAll(const std::optional<std::string>& value, bool all, const char* option,
                              const char* allOption) {
    if (all && value) {
        throw UsageError(std::string(option) + " and " + allOption + " exclude each other");
    }
    return all ? std::string() : Identity(value, option);
}

}  // namespace

std::string UsageText() {
    return kUsage;
}

Options ParseOptions(const std::vector<std::string>& args) {
    std::vector<std::string> joined = Joined(args);
    std::map<std::string, std::vector<std::string>> values;
    std::vector<std::string> shares;
    Options options;
    bool help = false;

    CLI::App app("tarnwick-check");
    app.set_help_flag();
    for (const char* name : kValueOptions) {
        app.add_option(name, values[name])
            ->allow_extra_args(false)
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    }
    app.add_flag("--json", options.json);
    app.add_flag("--csv", options.csv);
    app.add_flag("--all-users", options.allUsers);
    app.add_flag("--all-machines", options.allMachines);
    app.add_flag("--here", options.here);
    app.add_flag("-h,--help", help);
    app.add_flag("--version", options.version);
    app.add_option("share", shares);
    std::reverse(joined.begin(), joined.end());  // CLI11 takes them from the back
    try {
        app.parse(joined);
    } catch (const CLI::ParseError& failure) {
        throw UsageError(failure.what());
    }
    options.help = help;
    if (options.help || options.version) {
        return options;
    }

    CheckRequest& request = options.request;
    request.user = IdentityUnlessAll(Once(values["--user"], "--user"), options.allUsers, "--user",
                                     "--all-users");
    request.machine = IdentityUnlessAll(Once(values["--machine"], "--machine"), options.allMachines,
                                        "--machine", "--all-machines");
    request.userList = Once(values["--userlist"], "--userlist");
    request.settingsFile = Once(values["--settings"], "--settings").value_or(std::string());
    request.dateTime = Once(values["--datetime"], "--datetime");
    options.htmlFile = Once(values["--html"], "--html").value_or(std::string());
    if (const auto rights = Once(values["--rights"], "--rights")) {
        request.rights = platform::RightsFromName(*rights);
        if (!request.rights) {
            throw UsageError("--rights takes standard or administrator, not \"" + *rights + "\"");
        }
    }
    if (options.json && options.csv) {
        throw UsageError("--json and --csv exclude each other");
    }
    if (options.here && options.Site()) {
        throw UsageError("--here checks one logon: a site check looks at no workstation");
    }
    if (options.here && request.rights) {
        throw UsageError(
            "--rights is for a check that looks at no workstation: with --here the "
            "rights are those of the user running the check");
    }
    if (shares.size() > 1) {
        throw UsageError("the share folder is given twice");
    }
    if (shares.empty() || shares.front().empty()) {
        throw UsageError("the share folder is missing");
    }
    request.shareDir = shares.front();
    return options;
}

std::string FormatReport(const Options& options, const CheckReport& report) {
    return options.json ? FormatJson(report) : FormatText(report);
}

std::string FormatReport(const Options& options, const SiteReport& report) {
    return options.json  ? FormatSiteJson(report)
           : options.csv ? FormatSiteCsv(report)
                         : FormatSiteText(report);
}

}  // namespace check
