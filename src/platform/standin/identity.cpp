#include "platform/standin/identity.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "platform/standin/case_fold.h"
#include "platform/standin/state.h"
#include "platform/standin/text.h"
#include "platform/text_codes.h"

namespace platform::standin {

namespace {

constexpr const char* kIdentityFile = "identity.ini";
constexpr size_t kNetbiosNameLength = 15;  // MAX_COMPUTERNAME_LENGTH

// The process's login name does not change while it runs: it is looked up
// once, since the lookup costs more than the rest of reading the identity
// and connected drives read it on every path.
const std::string& LoginName() {
    static const std::string name = [] {
        if (const passwd* entry = getpwuid(geteuid());
            entry != nullptr && entry->pw_name != nullptr) {
            return std::string(entry->pw_name);
        }
        const char* user = std::getenv("USER");
        return std::string(user != nullptr ? user : "");
    }();
    return name;
}

std::string HostName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0) {
        return {};
    }
    return ComputerNameFromHostName(buffer);
}

// A Win32 error code in decimal; anything else is reported and ignored.
uint32_t ErrorCode(const std::string& key, const std::string& value,
                   const std::filesystem::path& file, bool warn) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long code = std::strtoull(value.c_str(), &end, 10);
    if (value.empty() || value[0] == '-' || *end != '\0' || errno == ERANGE ||
        code > 0xFFFFFFFFull) {
        if (!warn) {
            return 0;
        }
        std::cerr << file.string() << ": " << key << "=" << value
                  << " is not an error code; ignored\n";
        return 0;
    }
    return static_cast<uint32_t>(code);
}

// The code page of a CodePage= value; the default, told, for anything else.
unsigned CodePage(const std::string& value, const std::filesystem::path& file, bool warn) {
    char* end = nullptr;
    errno = 0;
    const unsigned long number = std::strtoul(value.c_str(), &end, 10);
    if (!value.empty() && value[0] != '-' && value[0] != '+' && *end == '\0' && errno == 0 &&
        number <= 0xFFFF && IsKnownCodePage(static_cast<unsigned>(number))) {
        return static_cast<unsigned>(number);
    }
    if (warn) {
        std::cerr << file.string() << ": CodePage=" << value
                  << " is not a code page this workstation knows; " << kDefaultCodePage
                  << " is used\n";
    }
    return kDefaultCodePage;
}

}  // namespace

std::string ComputerNameFromHostName(const std::string& hostName) {
    const std::string label = hostName.substr(0, hostName.find('.'));
    size_t cut = 0;
    for (size_t characters = 0; cut < label.size() && characters < kNetbiosNameLength;
         ++characters) {
        const size_t length = ReadUtf8(label, cut).length;
        cut += length == 0 ? 1 : length;
    }
    return FoldCase(label.substr(0, cut));
}

Identity ReadIdentity(const std::filesystem::path& stateDir, bool warn) {
    Identity identity{LoginName(), HostName(), 0, 0, Rights::kStandard, kDefaultCodePage};
    const auto file = stateDir / kIdentityFile;
    std::string text;
    if (!ReadHostFile(file, &text)) {
        return identity;
    }
    if (MarkOf(text) == ByteOrderMark::kUtf8) {
        text.erase(0, MarkBytes(ByteOrderMark::kUtf8).size());  // left by an editor
    }
    if (!IsValidUtf8(text)) {
        text = Utf8From1252(text, Unused1252::kControl);  // saved by an editor of old
    }
    ForEachLine(text, [&](std::string_view line) {
        const auto split = SplitNameValue(line);
        if (!split) {
            return;
        }
        const std::string key(split->name);
        const std::string value(split->value);
        if (SameText(key, "User")) {
            identity.user = value;
        } else if (SameText(key, "Machine")) {
            identity.machine = value;
        } else if (SameText(key, "UserError")) {
            identity.userError = ErrorCode(key, value, file, warn);
        } else if (SameText(key, "MachineError")) {
            identity.machineError = ErrorCode(key, value, file, warn);
        } else if (SameText(key, "CodePage")) {
            identity.codePage = CodePage(value, file, warn);
        } else if (SameText(key, "Rights")) {
            if (const auto rights = RightsFromName(value)) {
                identity.rights = *rights;
            } else if (warn) {
                std::cerr << file.string() << ": Rights=" << value
                          << " is neither Standard nor Administrator; Standard is used\n";
            }
        }
    });
    return identity;
}

}  // namespace platform::standin
