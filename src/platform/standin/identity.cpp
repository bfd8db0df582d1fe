#include "platform/standin/identity.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "platform/standin/case_fold.h"
#include "platform/standin/state.h"

namespace platform::standin {

namespace {

std::string LoginName() {
    if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
        return entry->pw_name;
    }
    const char* user = std::getenv("USER");
    return user != nullptr ? user : "";
}

std::string HostName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0) {
        return {};
    }
    std::string name(buffer);
    // Windows computer names are the host's first label in upper case.
    name = name.substr(0, name.find('.'));
    return FoldCase1252(name);
}

}  // namespace

Identity ReadIdentity(const std::filesystem::path& stateDir) {
    Identity identity{LoginName(), HostName(), 0, 0};
    std::string text;
    if (!ReadHostFile(stateDir / "identity.ini", &text)) {
        return identity;
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (SameText1252(key, "User")) {
            identity.user = value;
        } else if (SameText1252(key, "Machine")) {
            identity.machine = value;
        } else if (SameText1252(key, "UserError")) {
            identity.userError = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (SameText1252(key, "MachineError")) {
            identity.machineError =
                static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        }
    }
    return identity;
}

}  // namespace platform::standin
