// The script run: the script assembled from the script files in process
// order, expanded, executed line by line, and the run record rewritten.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "core/string_list.h"

namespace script {

// The assembled script: for each file loaded, ";---" + path, then its lines.
extern std::unique_ptr<core::TStringList> CodeList;

// The key of the run record under HKEY_CURRENT_USER.
extern const char* const kRunRecordKey;

void RunScript();
void BuildCodeList(const std::string& order);
// The script file of a process-order letter; nothing for other letters.
std::optional<std::string> ScriptFileForLetter(char letter);
// The shutdown step: ScriptRegistry, ErrorList, FullNameList, CodeList.
void FreeLogon();

}  // namespace script
