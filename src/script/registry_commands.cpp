#include "script/registry_commands.h"

#include "core/convert.h"
#include "core/strings.h"
#include "platform/errors.h"
#include "platform/registry_roots.h"
#include "platform/text_codes.h"
#include "script/messages.h"

namespace script {

namespace {

// The value spec's first letter (upper-cased) and what it does; any other
// letter does nothing.
struct SpecLetter {
    char letter;
    RegistryAction action;
};
constexpr SpecLetter kSpecLetters[] = {{'-', RegistryAction::kDelete},
                                       {'B', RegistryAction::kBinary},
                                       {'D', RegistryAction::kDword},
                                       {'S', RegistryAction::kString}};

constexpr size_t kMaxArgument = 9999;  // longest value name and value argument

void ReportOpenFailed(logon::LogonContext& context, const std::string& keyPath) {
    context.AddError(OpenFailedMessage(keyPath));
}

}  // namespace

bool OpenScriptKey(logon::LogonContext& context, platform::RegKey root,
                   const std::string& keyPath) {
    if (!context.ScriptRegistry) {
        return false;
    }
    const ScriptKeyTarget target =
        TargetOfScriptKey(root, keyPath, !context.AttachedHive.empty(), context.UserName);
    context.ScriptRegistry->SetRootKey(target.root);
    return context.ScriptRegistry->OpenKey(target.path);
}

ScriptKeyTarget TargetOfScriptKey(platform::RegKey root, const std::string& keyPath,
                                  bool hiveAttached, const std::string& userName) {
    ScriptKeyTarget target{root, keyPath};
    if (target.path.empty() || target.path.front() != '\\') {
        target.path.insert(0, "\\");
    }
    if (root == platform::kHkeyCurrentUser && hiveAttached) {
        target.path = "\\" + userName + target.path;
        target.root = platform::kHkeyUsers;
    }
    return target;
}

void WriteScriptString(logon::LogonContext& context, platform::RegKey root,
                       const std::string& keyPath, const std::string& valueName,
                       const std::string& text) {
    if (!OpenScriptKey(context, root, keyPath)) {
        ReportOpenFailed(context, keyPath);
        return;
    }
    context.ScriptRegistry->WriteString(valueName, text);
}

bool WriteScriptDword(logon::LogonContext& context, platform::RegKey root,
                      const std::string& keyPath, const std::string& valueName, int32_t value) {
    if (!OpenScriptKey(context, root, keyPath)) {
        return false;
    }
    context.ScriptRegistry->WriteInteger(valueName, value);
    return true;
}

int32_t ReadScriptDword(logon::LogonContext& context, platform::RegKey root,
                        const std::string& keyPath, const std::string& valueName) {
    if (!OpenScriptKey(context, root, keyPath) || !context.ScriptRegistry->ValueExists(valueName)) {
        return 0;
    }
    return context.ScriptRegistry->ReadInteger(valueName);
}

void DeleteScriptValue(logon::LogonContext& context, platform::RegKey root,
                       const std::string& keyPath, const std::string& valueName) {
    if (OpenScriptKey(context, root, keyPath) && context.ScriptRegistry->ValueExists(valueName)) {
        context.ScriptRegistry->DeleteValue(valueName);
    }
}

void WriteScriptBinary(logon::LogonContext& context, platform::RegKey root,
                       const std::string& keyPath, const std::string& valueName,
                       const std::string& hexText) {
    std::string bytes = hexText;
    HexToBinary(bytes);
    if (OpenScriptKey(context, root, keyPath)) {
        context.ScriptRegistry->WriteBinaryData(valueName, bytes);
    }
}

RegistryCommand ParseRegistryCommand(const std::string& destination, const std::string& valueSpec) {
    RegistryCommand command;
    const size_t dot = destination.find('.');
    if (dot == std::string::npos) {
        return command;
    }
    command.hasValueName = true;
    command.keyPath = destination.substr(0, dot);
    command.valueName =
        core::FirstCharacters(std::string_view(destination).substr(dot + 1), kMaxArgument);
    if (valueSpec.empty()) {
        return command;
    }
    command.argument = core::FirstCharacters(std::string_view(valueSpec).substr(1), kMaxArgument);
    const char letter = core::UpperAZ(valueSpec.front());
    for (const SpecLetter& spec : kSpecLetters) {
        if (spec.letter == letter) {
            command.action = spec.action;
        }
    }
    return command;
}

void ApplyRegistryCommand(logon::LogonContext& context, platform::RegKey root,
                          const std::string& destination, const std::string& valueSpec) {
    const RegistryCommand command = ParseRegistryCommand(destination, valueSpec);
    if (!command.hasValueName) {
        context.AddError(NoValueNameMessage(destination));
        return;
    }
    const std::string& keyPath = command.keyPath;
    const std::string& valueName = command.valueName;
    switch (command.action) {
        case RegistryAction::kDelete:
            DeleteScriptValue(context, root, keyPath, valueName);
            break;
        case RegistryAction::kBinary:
            WriteScriptBinary(context, root, keyPath, valueName, command.argument);
            break;
        case RegistryAction::kDword: {
            // A bad number raises before any key is opened.
            const int32_t number = core::StrToInt(command.argument);
            if (!WriteScriptDword(context, root, keyPath, valueName, number)) {
                ReportOpenFailed(context, keyPath);
            }
            break;
        }
        case RegistryAction::kString:
            WriteScriptString(context, root, keyPath, valueName, command.argument);
            break;
        case RegistryAction::kNothing:
            break;
    }
}

void AttachUserHive(logon::LogonContext& context, const std::string& hiveFile) {
    // Every L command turns the redirection off; only a load that succeeds
    // turns it on again.
    context.AttachedHive.clear();
    if (context.services.registry().LoadKey(context.UserName, hiveFile) != 0) {
        context.AddError(AttachFailedMessage(hiveFile, HiveKeyName(context.UserName)));
        return;
    }
    context.AttachedHive = hiveFile;
}

std::string HiveKeyName(const std::string& userName) {
    return platform::RootName(platform::kHkeyUsers) + "\\" + userName;
}

void HexToBinary(std::string& text) {
    std::string digits;
    for (char c : text) {
        c = core::UpperAZ(c);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
            digits += c;
        }
    }
    std::string bytes;
    bytes.reserve(digits.size() / 2);
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes += static_cast<char>(HexPairToByte(digits[i], digits[i + 1]));
    }
    text = bytes;
}

unsigned char HexPairToByte(char high, char low) {
    // Only the digits of "0123456789ABCDEF" count (HexToBinary hands over
    // nothing else); any other character, lower case included, counts as 0.
    const auto value = [](char digit) {
        const int place = digit >= 'a' && digit <= 'f' ? -1 : platform::HexDigitValue(digit);
        return place >= 0 ? static_cast<unsigned>(place) : 0u;
    };
    return static_cast<unsigned char>(16 * value(high) + value(low));
}

}  // namespace script
