#include "script/messages.h"

namespace script {

std::string UnknownCommandMessage(const std::string& line) {
    return "Unknown command : " + line;
}

std::string LineFailureMessage(const std::string& failure, const std::string& line) {
    return failure + " : " + line;
}

std::string CopyFailureMessage(const std::string& source, const std::string& destination) {
    return "Error copying " + source + " to " + destination;
}

std::string IniFailureMessage(const std::string& file, const std::string& sectionAndKey,
                              const std::string& value) {
    return "Error loading " + file + " to change " + sectionAndKey + " to " + value;
}

std::string MkdirFailureMessage(const std::string& directory, const std::string& failure) {
    return "Mkdir " + directory + " failed : " + failure;
}

std::string NoValueNameMessage(const std::string& destination) {
    return "No value name in destination " + destination;
}

std::string OpenFailedMessage(const std::string& keyPath) {
    return "Failed to open \\" + keyPath + " in create mode.";
}

std::string AttachFailedMessage(const std::string& hiveFile, const std::string& hiveKey) {
    return "Error attaching " + hiveFile + " to " + hiveKey;
}

std::string CancelProfileErrorMessage(const std::string& localName) {
    return "Profile error while deleting " + localName;
}

std::string CancelUnknownErrorMessage(const std::string& localName) {
    return "Unknown error deleting " + localName;
}

std::string ConnectFailedMessage(uint32_t code, const std::string& localName,
                                 const std::string& remoteName) {
    return "Error " + std::to_string(code) + " on connecting " + localName + " to " + remoteName;
}

}  // namespace script
