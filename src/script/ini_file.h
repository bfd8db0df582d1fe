// TIniFile: the writer of INI-file values. Creating it only records the
// file name; each write goes to the platform's profile-string call.
#pragma once
#include <string>

#include "core/exceptions.h"

namespace script {

// A profile-string write that the platform refused: "Unable to write to %s".
class EIniFileException : public core::Exception {
  public:
    using Exception::Exception;
};

class TIniFile {
  public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // WritePrivateProfileStringA(section, key, value, file name); a refusal
    // raises EIniFileException with the file name.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

  private:
    std::string fileName_;
};

}  // namespace script
