#include "script/run.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/error_list.h"
#include "core/file_exists.h"
#include "core/strings.h"
#include "logon/identity.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "script/interpreter.h"
#include "script/registry_commands.h"

namespace script {

std::unique_ptr<core::TStringList> CodeList;
std::vector<std::string> CodeListFiles;
const char* const kRunRecordKey = "Software\\Brackenlow\\Tarnwick\\Errors";

namespace {

constexpr const char* kErrorCountValue = "ErrorCount";
constexpr const char* kErrorStringValue = "ErrorString";
constexpr const char* kErrorUpdatedValue = "ErrorUpdated";
constexpr const char* kHeaderPrefix = ";---";

std::string ErrorStringName(long long i) {
    return kErrorStringValue + std::to_string(i);
}

// The number n of a value named ErrorString<n>, as ErrorStringName writes
// it (decimal, no leading zero, the prefix in any letter case, since value
// names ignore case); 0 for any other name.
int64_t MessageNumberOf(const std::string& name) {
    const size_t prefix = std::strlen(kErrorStringValue);
    if (name.size() <= prefix || name.size() > prefix + 10 || name[prefix] == '0' ||
        core::UpperAZ(name.substr(0, prefix)) != core::UpperAZ(kErrorStringValue)) {
        return 0;
    }
    int64_t number = 0;
    for (size_t i = prefix; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return 0;
        }
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// Removes ErrorString1 .. ErrorString<count> of the previous record: every
// one of them that exists, however they are spread, and no other. The
// key's values are listed rather than each number asked for, so a huge
// count (a hand-edited or damaged record: up to 2,147,483,647) costs no
// more than the values really stored.
void DeletePreviousMessages(platform::RegKey root, int32_t count) {
    if (count <= 0 || !OpenScriptKey(root, kRunRecordKey)) {
        return;
    }
    for (const std::string& name : ScriptRegistry->GetValueNames()) {
        const int64_t number = MessageNumberOf(name);
        if (number >= 1 && number <= count) {
            ScriptRegistry->DeleteValue(name);
        }
    }
}

// Process-order letters: the directory setting and the base name each one
// chooses (the extension is added to all of them).
struct LetterFile {
    char letter;
    const std::string* directory;
    const std::string* baseName;
};

const std::array<LetterFile, 7>& LetterTable() {
    static const std::array<LetterFile, 7> table = {{
        {'*', &logon::GlobalDir, &logon::DefaultName},
        {'g', &logon::GroupDir, &logon::GroupName},
        {'G', &logon::GroupDir, &logon::DefaultName},
        {'u', &logon::UserDir, &logon::UserName},
        {'U', &logon::UserDir, &logon::DefaultName},
        {'m', &logon::MachineDir, &logon::MachineName},
        {'M', &logon::MachineDir, &logon::DefaultName},
    }};
    return table;
}

// The files whose lines CodeList holds, in order.
void RecordLoadedFiles(const std::vector<ScriptPart>& parts) {
    for (const ScriptPart& part : parts) {
        if (part.header >= 0) {
            CodeListFiles.push_back(part.path);
        }
    }
}

}  // namespace

std::optional<std::string> ScriptFileForLetter(char letter) {
    for (const LetterFile& entry : LetterTable()) {
        if (entry.letter == letter) {
            return *entry.directory + *entry.baseName + logon::ScriptExtension;
        }
    }
    return std::nullopt;
}

std::vector<std::string> ScriptFolders(const std::string& order) {
    std::vector<std::string> folders;
    for (const char letter : order) {
        for (const LetterFile& entry : LetterTable()) {
            if (entry.letter == letter &&
                std::find(folders.begin(), folders.end(), *entry.directory) == folders.end()) {
                folders.push_back(*entry.directory);
            }
        }
    }
    return folders;
}

void AssembleScript(const std::string& order, core::TStringList& code,
                    std::vector<ScriptPart>* parts) {
    core::TStringList file;
    for (char letter : order) {
        const auto path = ScriptFileForLetter(letter);
        if (!path) {
            continue;
        }
        ScriptPart part;
        part.letter = letter;
        part.path = *path;
        part.exists = core::FileExists(*path);
        ScriptPart* recorded = nullptr;
        if (parts != nullptr) {
            parts->push_back(part);
            recorded = &parts->back();
        }
        if (!part.exists) {
            continue;
        }
        file.LoadFromFile(*path);
        if (recorded != nullptr) {
            recorded->header = code.Count();
            recorded->lineCount = file.Count();
        }
        code.Add(kHeaderPrefix + *path);
        code.AddStrings(file);
    }
}

void BuildCodeList(const std::string& order) {
    CodeList = std::make_unique<core::TStringList>();
    CodeListFiles.clear();
    std::vector<ScriptPart> parts;
    try {
        AssembleScript(order, *CodeList, &parts);
    } catch (...) {
        RecordLoadedFiles(parts);
        throw;
    }
    RecordLoadedFiles(parts);
}

void RunScript() {
    const platform::RegKey root = platform::kHkeyCurrentUser;
    const int32_t previousCount = ReadScriptDword(root, kRunRecordKey, kErrorCountValue);
    DeletePreviousMessages(root, previousCount);
    WriteScriptDword(root, kRunRecordKey, kErrorCountValue, 0);

    BuildCodeList(logon::ProcessOrder);
    logon::ExpandMacros(*CodeList);
    const int lineCount = CodeList->Count();
    for (int i = 0; i < lineCount; ++i) {
        ExecuteLine(CodeList->Get(i));
    }

    if (!core::ErrorList) {
        core::ErrorList = std::make_unique<core::TStringList>();
    }
    const int messageCount = core::ErrorList->Count();
    WriteScriptDword(root, kRunRecordKey, kErrorCountValue, messageCount);
    for (int i = 1; i <= messageCount; ++i) {
        WriteScriptString(root, kRunRecordKey, ErrorStringName(i), core::ErrorList->Get(i - 1));
    }
    WriteScriptString(root, kRunRecordKey, kErrorUpdatedValue, logon::CurrentDateTimeText());
}

void FreeLogon() {
    FreeScriptRegistry();
    core::ErrorList.reset();
    logon::FullNameList.reset();
    CodeList.reset();
    CodeListFiles.clear();
}

}  // namespace script
