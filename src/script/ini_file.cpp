#include "script/ini_file.h"

namespace script {

namespace {
constexpr const char* kUnableToWrite = "Unable to write to %s";
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    core::ThrowIfFailed<EIniFileException>(
        profile_.WritePrivateProfileStringW(section, key, value, fileName_), kUnableToWrite,
        fileName_);
}

}  // namespace script
