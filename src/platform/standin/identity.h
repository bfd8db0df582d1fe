// Who is logged on where, for the stand-in workstation: the machine's own
// login and host names, unless <state>/identity.ini names others:
//   User=jsmith          the network user name (may be empty)
//   Machine=WS01         the computer name
//   UserError=1222       make the user name query fail with this code
//   MachineError=5       make the computer name query fail with this code
//   Rights=Standard      the user's rights: Standard (the default), as most
//                        logons are, or Administrator
//   CodePage=1250        the workstation's ANSI code page (GetACP): how text
//                        files without a byte-order mark that are not UTF-8
//                        read, and how INI files without one are written;
//                        1252 unless given
// Keys ignore case; blanks around keys and values are dropped, as in an INI
// file; lines without "=" (sections, comments) are skipped. An error code
// that is not a number, rights of another name, or a code page that is not
// a number iconv can convert, are ignored with a warning on standard error.
// The file is read as UTF-8 (a byte-order mark in front is dropped) when it
// is valid UTF-8, and as Windows-1252 otherwise, so that User=Łukasz works
// whichever way an editor saved it.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/default_access.h"
#include "platform/standin/code_page.h"

namespace platform::standin {

struct Identity {
    std::string user;
    std::string machine;
    uint32_t userError = 0;
    uint32_t machineError = 0;
    Rights rights = Rights::kStandard;
    unsigned codePage = kDefaultCodePage;
};

// Read anew on every call, so a change to identity.ini takes effect at once.
// A caller that only needs the user's name passes `warn` false, so that the
// file's mistakes are told once, by the calls that use the codes.
Identity ReadIdentity(const std::filesystem::path& stateDir, bool warn = true);

// The computer name Windows derives from a host name: the first label in
// upper case, cut to the 15 characters (not bytes) of a NetBIOS name.
std::string ComputerNameFromHostName(const std::string& hostName);

}  // namespace platform::standin
