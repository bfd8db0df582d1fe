// The stand-in's profile-string writer: WritePrivateProfileStringW on the
// files of the stand-in workstation.
#pragma once
#include "platform/profile.h"
#include "platform/standin/context.h"

namespace platform::standin {

class StandinProfile : public Profile {
  public:
    explicit StandinProfile(Context& context) : context_(context) {}
    // As on Windows: a file name without any "\" or "/" lies in the Windows
    // directory, C:\WINDOWS; the file is created when it is missing, but not
    // its directory (3); an empty name or a directory is refused (5). The
    // file is replaced whole or left as it was, never half-written, and the
    // writes of all processes of the workstation take turns, so each lands.
    // NUL bytes in the file are kept as they are. A file of UTF-16 text (FF
    // FE in front) is written back in UTF-16; one that ANSI text cannot hold
    // without losing a character, and big-endian UTF-16 (FE FF), are refused
    // (13) and left untouched rather than rewritten as something else.
    Win32Error WritePrivateProfileStringW(const std::string& section, const std::string& key,
                                          const std::string& value,
                                          const std::string& file) override;
    std::string PlaceOfFile(const std::string& file) override;

  private:
    Context& context_;
};

}  // namespace platform::standin
