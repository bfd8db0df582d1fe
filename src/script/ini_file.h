// TIniFile: the writer of INI-file values. Creating it only records the
// file name; each write goes to the profile-string call of the profile
// service it was given.
#pragma once
#include <string>

#include "core/exceptions.h"
#include "platform/profile.h"

namespace script {

// A profile-string write that the platform refused: "Unable to write to %s".
class EIniFileException : public core::Exception {
  public:
    using Exception::Exception;
};

class TIniFile {
  public:
    TIniFile(platform::Profile& profile, std::string fileName)
        : profile_(profile), fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // WritePrivateProfileStringW(section, key, value, file name); a refusal
    // raises EIniFileException with the file name.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

  private:
    platform::Profile& profile_;
    std::string fileName_;
};

}  // namespace script
