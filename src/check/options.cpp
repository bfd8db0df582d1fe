#include "check/options.h"

#include <array>
#include <optional>

#include "logon/identity.h"

namespace check {

namespace {

enum class Option {
    kUser,
    kMachine,
    kGroup,
    kUserList,
    kSettings,
    kDateTime,
    kJson,
    kHelp,
    kVersion
};

struct OptionName {
    const char* name;
    Option option;
    bool takesValue;
};

constexpr std::array<OptionName, 10> kOptions = {{
    {"--user", Option::kUser, true},
    {"--machine", Option::kMachine, true},
    {"--group", Option::kGroup, true},
    {"--userlist", Option::kUserList, true},
    {"--settings", Option::kSettings, true},
    {"--datetime", Option::kDateTime, true},
    {"--json", Option::kJson, false},
    {"--help", Option::kHelp, false},
    {"-h", Option::kHelp, false},
    {"--version", Option::kVersion, false},
}};

constexpr const char* kUsage =
    "usage: tarnwick-check --user NAME --machine NAME [options] SHARE\n"
    "\n"
    "Tells what the logon of a user on a machine would do, line by line, from the\n"
    "login share in the folder SHARE and its settings file, without changing\n"
    "anything. Paths of the options are relative to SHARE, as the program's are.\n"
    "\n"
    "  --user NAME       the login name (required)\n"
    "  --machine NAME    the machine name (required)\n"
    "  --group NAME      the group (default EVERYONE)\n"
    "  --userlist FILE   the full-name list (default: the UserList setting)\n"
    "  --settings FILE   the settings file (default tarnwick.INI)\n"
    "  --datetime TEXT   what %DateTime% stands for (default: now)\n"
    "  --json            the report as JSON\n"
    "  --help            this text\n"
    "  --version         the program's version\n"
    "\n"
    "Exit code: 0 when nothing is flagged, 1 when something is, 2 when the check\n"
    "cannot be made (a usage error, a share folder that is not there).\n";

const OptionName* Find(const std::string& name) {
    for (const OptionName& entry : kOptions) {
        if (name == entry.name) {
            return &entry;
        }
    }
    return nullptr;
}

void SetOnce(std::optional<std::string>& target, const std::string& name,
             const std::string& value) {
    if (target) {
        throw UsageError(name + " is given twice");
    }
    target = value;
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

}  // namespace

std::string UsageText() {
    return kUsage;
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    std::optional<std::string> user, machine, group, userList, settings, dateTime, share;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            SetOnce(share, "the share folder", arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionName* option = Find(name);
        if (option == nullptr) {
            throw UsageError("unknown option " + name);
        }
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                throw UsageError(name + " needs a value");
            }
        } else if (equals != std::string::npos) {
            throw UsageError(name + " takes no value");
        }
        switch (option->option) {
            case Option::kUser:
                SetOnce(user, name, value);
                break;
            case Option::kMachine:
                SetOnce(machine, name, value);
                break;
            case Option::kGroup:
                SetOnce(group, name, value);
                break;
            case Option::kUserList:
                SetOnce(userList, name, value);
                break;
            case Option::kSettings:
                SetOnce(settings, name, value);
                break;
            case Option::kDateTime:
                SetOnce(dateTime, name, value);
                break;
            case Option::kJson:
                options.json = true;
                break;
            case Option::kHelp:
                options.help = true;
                break;
            case Option::kVersion:
                options.version = true;
                break;
        }
    }
    if (options.help || options.version) {
        return options;
    }
    CheckRequest& request = options.request;
    request.user = Identity(user, "--user");
    request.machine = Identity(machine, "--machine");
    if (!share || share->empty()) {
        throw UsageError("the share folder is missing");
    }
    request.shareDir = *share;
    request.group = group;
    request.userList = userList;
    request.settingsFile = settings.value_or(std::string());
    request.dateTime = dateTime;
    return options;
}

}  // namespace check
