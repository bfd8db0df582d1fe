// The script run: the script assembled from the script files in process
// order, expanded, executed line by line, and the run record rewritten.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/string_list.h"
#include "logon/context.h"

namespace script {

// The key of the run record under HKEY_CURRENT_USER.
inline constexpr const char* kRunRecordKey = "Software\\Brackenlow\\Tarnwick\\Errors";

// The whole run: the previous run record cleared, CodeList assembled in the
// context's process order and expanded, every line executed, and the new
// run record written.
void RunScript(logon::LogonContext& context);
// Creates the context's CodeList from the script files of `order`, and
// records in CodeListFiles the files it loaded.
void BuildCodeList(logon::LogonContext& context, const std::string& order);

// One letter of the process order that names a script file.
struct ScriptPart {
    char letter = 0;
    std::string path;
    bool exists = false;  // the file-exists test found it
    int header = -1;      // index of its header line; -1 until it is loaded
    int lineCount = 0;    // its lines, after the header
};
// Appends the script files of `order` to `code` as BuildCodeList does: for
// each file that exists, ";---" + path, then its lines. `parts` (when given)
// receives every letter of the table in order, loaded or not; a file that
// exists but cannot be opened raises EFOpenError with its part last.
void AssembleScript(logon::LogonContext& context, const std::string& order, core::TStringList& code,
                    std::vector<ScriptPart>* parts = nullptr);
// The script file of a process-order letter; nothing for other letters.
std::optional<std::string> ScriptFileForLetter(const logon::LogonContext& context, char letter);
// The folders the letters of `order` search for their script files, in
// order and each once, as the settings give them.
std::vector<std::string> ScriptFolders(const logon::LogonContext& context,
                                       const std::string& order);

}  // namespace script
