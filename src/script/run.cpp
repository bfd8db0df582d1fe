#include "script/run.h"

namespace script {

std::unique_ptr<core::TStringList> CodeList;
const char* const kRunRecordKey = "Software\\Brackenlow\\Tarnwick\\Errors";

void RunScript() {}
void BuildCodeList(const std::string&) { CodeList = std::make_unique<core::TStringList>(); }
std::optional<std::string> ScriptFileForLetter(char) { return std::nullopt; }
void FreeLogon() {}

}  // namespace script
