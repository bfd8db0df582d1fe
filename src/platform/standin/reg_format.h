// The text of the stand-in's registry stores: the .reg export format
// (REGEDIT4), one key header or one value per line.
//   [HKEY_CURRENT_USER\Software\X]   a key, named by its full path
//   "Name"="text"                    REG_SZ
//   "Name"=dword:0000000a            REG_DWORD
//   "Name"=hex:01,ff                 REG_BINARY
//   "Name"=hex(7):61,00,00           any other type, or data the forms above
//                                    cannot carry on one line
//   @=...                            the key's default (unnamed) value
//   "Name"=-                         the value is deleted
//   [-HKEY_CURRENT_USER\Software\X]  the key is deleted, with all below it
// Names and text are UTF-8; a line that is not was written by the program of
// old in Windows-1252 and is read as that.
// Lines end with LF (CR LF is read too); a hex line may continue on the next
// line after a trailing "\", as exported files do, but lines written here
// never continue.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform::standin::regfile {

// The first line of every store.
inline constexpr std::string_view kSignature = "REGEDIT4";

// "[path]"
std::string FormatHeader(std::string_view keyPath);
// The one line that stores `data` of `type` under `name` ("" is the default value).
std::string FormatValueLine(std::string_view name, uint32_t type, std::string_view data);
// The line that deletes the value `name`.
std::string FormatDeletionLine(std::string_view name);
// "[-path]": the line that deletes a key and everything below it.
std::string FormatKeyDeletion(std::string_view keyPath);

// Names that fit on one line: no CR, no LF.
bool IsStorableName(std::string_view name);

struct ParsedLine {
    enum Kind { kBlank, kHeader, kValue, kDeletion, kKeyDeletion, kMalformed };
    Kind kind = kMalformed;
    std::string keyPath;  // kHeader, kKeyDeletion
    std::string name;     // kValue, kDeletion
    uint32_t type = 0;    // kValue
    std::string data;     // kValue
};

// Reads one logical line (its end removed, continuations joined). Blank
// lines and ";" comments are kBlank.
ParsedLine ParseLine(std::string_view line);

struct LineScan {
    size_t end = 0;  // offset just past the last complete logical line read
    bool ok = true;  // false when `onLine` stopped the scan
};

// Hands each complete logical line of `text` to `onLine`, stopping early
// when it returns false. A last line without its line end, as a writer that
// was killed in mid-write leaves it, is not complete and is left unread.
LineScan ScanCompleteLines(std::string_view text,
                           const std::function<bool(std::string_view)>& onLine);

}  // namespace platform::standin::regfile
