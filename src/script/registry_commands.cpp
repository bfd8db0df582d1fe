#include "script/registry_commands.h"

#include <cstring>

#include "core/convert.h"
#include "core/strings.h"
#include "logon/identity.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "script/error_list.h"

namespace script {

std::unique_ptr<TRegistry> ScriptRegistry;
std::string AttachedHive;

namespace {

// Failure lines, each built as head + value (+ tail).
constexpr const char* kNoValueName = "No value name in destination ";
constexpr const char* kOpenFailedHead = "Failed to open \\";
constexpr const char* kOpenFailedTail = " in create mode.";
constexpr const char* kAttachFailedHead = "Error attaching ";
constexpr const char* kAttachFailedMiddle = " to HKEY_USERS\\";

// The value spec's first letter (upper-cased) and what it does.
constexpr char kSpecDelete = '-';
constexpr char kSpecBinary = 'B';
constexpr char kSpecDword = 'D';
constexpr char kSpecString = 'S';

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr size_t kMaxArgument = 9999;  // longest value name and value argument

void ReportOpenFailed(const std::string& keyPath) {
    AddError(kOpenFailedHead + keyPath + kOpenFailedTail);
}

}  // namespace

void CreateScriptRegistry() {
    ScriptRegistry = std::make_unique<TRegistry>();
}

void FreeScriptRegistry() {
    ScriptRegistry.reset();
}

void ResetScriptRegistry() {
    FreeScriptRegistry();
    AttachedHive.clear();
}

bool OpenScriptKey(platform::RegKey root, const std::string& keyPath) {
    if (!ScriptRegistry) {
        return false;
    }
    std::string path = keyPath;
    if (path.empty() || path.front() != '\\') {
        path.insert(0, "\\");
    }
    if (root == platform::kHkeyCurrentUser && !AttachedHive.empty()) {
        path = "\\" + logon::UserName + path;
        root = platform::kHkeyUsers;
    }
    ScriptRegistry->SetRootKey(root);
    return ScriptRegistry->OpenKey(path);
}

void WriteScriptString(platform::RegKey root, const std::string& keyPath,
                       const std::string& valueName, const std::string& text) {
    if (!OpenScriptKey(root, keyPath)) {
        ReportOpenFailed(keyPath);
        return;
    }
    ScriptRegistry->WriteString(valueName, text);
}

bool WriteScriptDword(platform::RegKey root, const std::string& keyPath,
                      const std::string& valueName, int32_t value) {
    if (!OpenScriptKey(root, keyPath)) {
        return false;
    }
    ScriptRegistry->WriteInteger(valueName, value);
    return true;
}

int32_t ReadScriptDword(platform::RegKey root, const std::string& keyPath,
                        const std::string& valueName) {
    if (!OpenScriptKey(root, keyPath) || !ScriptRegistry->ValueExists(valueName)) {
        return 0;
    }
    return ScriptRegistry->ReadInteger(valueName);
}

void DeleteScriptValue(platform::RegKey root, const std::string& keyPath,
                       const std::string& valueName) {
    if (OpenScriptKey(root, keyPath) && ScriptRegistry->ValueExists(valueName)) {
        ScriptRegistry->DeleteValue(valueName);
    }
}

void WriteScriptBinary(platform::RegKey root, const std::string& keyPath,
                       const std::string& valueName, const std::string& hexText) {
    std::string bytes = hexText;
    HexToBinary(bytes);
    if (OpenScriptKey(root, keyPath)) {
        ScriptRegistry->WriteBinaryData(valueName, bytes);
    }
}

void ApplyRegistryCommand(platform::RegKey root, const std::string& destination,
                          const std::string& valueSpec) {
    const size_t dot = destination.find('.');
    if (dot == std::string::npos) {
        AddError(kNoValueName + destination);
        return;
    }
    const std::string keyPath = destination.substr(0, dot);
    const std::string valueName = destination.substr(dot + 1, kMaxArgument);
    if (valueSpec.empty()) {
        return;
    }
    const std::string argument = valueSpec.substr(1, kMaxArgument);
    switch (core::UpperAZ(valueSpec.front())) {
        case kSpecDelete:
            DeleteScriptValue(root, keyPath, valueName);
            break;
        case kSpecBinary:
            WriteScriptBinary(root, keyPath, valueName, argument);
            break;
        case kSpecDword: {
            // A bad number raises before any key is opened.
            const int32_t number = core::StrToInt(argument);
            if (!WriteScriptDword(root, keyPath, valueName, number)) {
                ReportOpenFailed(keyPath);
            }
            break;
        }
        case kSpecString:
            WriteScriptString(root, keyPath, valueName, argument);
            break;
        default:
            break;  // any other letter does nothing
    }
}

void AttachUserHive(const std::string& hiveFile) {
    // Every L command turns the redirection off; only a load that succeeds
    // turns it on again.
    AttachedHive.clear();
    platform::Registry* api = platform::Current().registry;
    const uint32_t rc =
        api != nullptr ? api->LoadKey(logon::UserName, hiveFile) : platform::kErrorInvalidHandle;
    if (rc != 0) {
        AddError(kAttachFailedHead + hiveFile + kAttachFailedMiddle + logon::UserName);
        return;
    }
    AttachedHive = hiveFile;
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
    // A digit's value is its place in "0123456789ABCDEF"; HexToBinary hands
    // over nothing else, and any other character counts as 0.
    const auto value = [](char digit) {
        const char* at = digit != '\0' ? std::strchr(kHexDigits, digit) : nullptr;
        return at != nullptr ? static_cast<unsigned>(at - kHexDigits) : 0u;
    };
    return static_cast<unsigned char>(16 * value(high) + value(low));
}

}  // namespace script
