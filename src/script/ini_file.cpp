#include "script/ini_file.h"

#include "platform/platform.h"
#include "platform/profile.h"

namespace script {

namespace {
constexpr const char* kUnableToWrite = "Unable to write to %s";
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    if (platform::Current().profile().WritePrivateProfileStringA(section, key, value, fileName_) !=
        0) {
        throw EIniFileException(core::Format(kUnableToWrite, fileName_));
    }
}

}  // namespace script
