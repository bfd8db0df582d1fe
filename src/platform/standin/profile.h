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
    // NUL bytes in the file are kept as they are.
    //
    // The section, key and value are UTF-8. As on Windows, a write keeps the
    // file's encoding and never chooses Unicode itself (Microsoft Learn,
    // WritePrivateProfileStringW: "If the file was created using Unicode
    // characters, the function writes Unicode characters to the file.
    // Otherwise, the function writes ANSI characters."):
    //   FF FE in front   UTF-16 LE, read whole and written back whole in
    //                    UTF-16 LE, every character kept; a file that is not
    //                    whole UTF-16 is refused (13) and left untouched
    //   no mark          text of the workstation's ANSI code page (identity.ini's
    //                    CodePage=, 1252 unless given), also for a new file: a
    //                    character the code page lacks is written as
    //                    WideCharToMultiByte writes it, as a like letter of
    //                    1252's best-fit table ("L" for "Ł") or else "?"
    //                    (code_page.h)
    //   EF BB BF         UTF-8, written back in UTF-8 behind its mark
    //   FE FF            UTF-16 BE, written back in UTF-16 BE
    // Microsoft documents no other mark than FF FE; Windows 10 reportedly
    // reads a UTF-8 mark as ANSI text and a big-endian mark not at all, which
    // would spoil the first line or the whole file. The last two follow Wine
    // (dlls/kernel32/profile.c, which detects all three marks and writes
    // each file back in its own encoding), keeping every character. The
    // lines a write does not change are written back byte for byte as they
    // were read, even a byte the code page cannot read.
    Win32Error WritePrivateProfileStringW(const std::string& section, const std::string& key,
                                          const std::string& value,
                                          const std::string& file) override;
    std::string PlaceOfFile(const std::string& file) override;

  private:
    Context& context_;
};

}  // namespace platform::standin
