// The lines that the script's commands append to ErrorList, one builder
// each, so that their wording stands in one place: the executor records
// them, and the checker shows the ones a line will certainly record. Each
// is plain concatenation of fixed pieces and values.
#pragma once
#include <cstdint>
#include <string>

namespace script {

// A line whose first character selects no command.
std::string UnknownCommandMessage(const std::string& line);
// A failure raised while a line ran: its message, " : ", the line.
std::string LineFailureMessage(const std::string& failure, const std::string& line);

// C and c.
std::string CopyFailureMessage(const std::string& source, const std::string& destination);
// I, for a failed write and for a malformed line alike.
std::string IniFailureMessage(const std::string& file, const std::string& sectionAndKey,
                              const std::string& value);
// V.
std::string MkdirFailureMessage(const std::string& directory, const std::string& failure);

// M, R and U.
std::string NoValueNameMessage(const std::string& destination);
std::string OpenFailedMessage(const std::string& keyPath);
// L: the hive could not be loaded under `hiveKey` (HKEY_USERS\<user>).
std::string AttachFailedMessage(const std::string& hiveFile, const std::string& hiveKey);

// D and P: cancelling the device's old connection, then connecting it.
std::string CancelProfileErrorMessage(const std::string& localName);
std::string CancelUnknownErrorMessage(const std::string& localName);
std::string ConnectFailedMessage(uint32_t code, const std::string& localName,
                                 const std::string& remoteName);

}  // namespace script
