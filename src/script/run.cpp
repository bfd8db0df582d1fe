#include "script/run.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/file_exists.h"
#include "core/strings.h"
#include "logon/identity.h"
#include "logon/macros.h"
#include "script/interpreter.h"
#include "script/registry_commands.h"

namespace script {

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
void DeletePreviousMessages(logon::LogonContext& context, platform::RegKey root, int32_t count) {
    if (count <= 0 || !OpenScriptKey(context, root, kRunRecordKey)) {
        return;
    }
    for (const std::string& name : context.ScriptRegistry->GetValueNames()) {
        const int64_t number = MessageNumberOf(name);
        if (number >= 1 && number <= count) {
            context.ScriptRegistry->DeleteValue(name);
        }
    }
}

// Process-order letters: the directory setting and the base name each one
// chooses (the extension is added to all of them).
using logon::LogonContext;
struct LetterFile {
    char letter;
    std::string LogonContext::*directory;
    std::string LogonContext::*baseName;
};

constexpr std::array<LetterFile, 7> kLetters = {{
    {'*', &LogonContext::GlobalDir, &LogonContext::DefaultName},
    {'g', &LogonContext::GroupDir, &LogonContext::GroupName},
    {'G', &LogonContext::GroupDir, &LogonContext::DefaultName},
    {'u', &LogonContext::UserDir, &LogonContext::UserName},
    {'U', &LogonContext::UserDir, &LogonContext::DefaultName},
    {'m', &LogonContext::MachineDir, &LogonContext::MachineName},
    {'M', &LogonContext::MachineDir, &LogonContext::DefaultName},
}};

// The files whose lines CodeList holds, in order.
void RecordLoadedFiles(logon::LogonContext& context, const std::vector<ScriptPart>& parts) {
    for (const ScriptPart& part : parts) {
        if (part.header >= 0) {
            context.CodeListFiles.push_back(part.path);
        }
    }
}

}  // namespace

std::optional<std::string> ScriptFileForLetter(const LogonContext& context, char letter) {
    for (const LetterFile& entry : kLetters) {
        if (entry.letter == letter) {
            return context.*entry.directory + context.*entry.baseName + context.ScriptExtension;
        }
    }
    return std::nullopt;
}

std::vector<std::string> ScriptFolders(const LogonContext& context, const std::string& order) {
    std::vector<std::string> folders;
    for (const char letter : order) {
        for (const LetterFile& entry : kLetters) {
            const std::string& directory = context.*entry.directory;
            if (entry.letter == letter &&
                std::find(folders.begin(), folders.end(), directory) == folders.end()) {
                folders.push_back(directory);
            }
        }
    }
    return folders;
}

void AssembleScript(logon::LogonContext& context, const std::string& order, core::TStringList& code,
                    std::vector<ScriptPart>* parts) {
    platform::Files& files = context.services.files();
    core::TStringList file;
    for (char letter : order) {
        const auto path = ScriptFileForLetter(context, letter);
        if (!path) {
            continue;
        }
        ScriptPart part;
        part.letter = letter;
        part.path = *path;
        part.exists = core::FileExists(files, *path);
        ScriptPart* recorded = nullptr;
        if (parts != nullptr) {
            parts->push_back(part);
            recorded = &parts->back();
        }
        if (!part.exists) {
            continue;
        }
        file.LoadFromFile(files, *path);
        if (recorded != nullptr) {
            recorded->header = code.Count();
            recorded->lineCount = file.Count();
        }
        code.Add(kHeaderPrefix + *path);
        code.AddStrings(file);
    }
}

void BuildCodeList(logon::LogonContext& context, const std::string& order) {
    context.CodeList = std::make_unique<core::TStringList>();
    context.CodeListFiles.clear();
    std::vector<ScriptPart> parts;
    try {
        AssembleScript(context, order, *context.CodeList, &parts);
    } catch (...) {
        RecordLoadedFiles(context, parts);
        throw;
    }
    RecordLoadedFiles(context, parts);
}

void RunScript(logon::LogonContext& context) {
    const platform::RegKey root = platform::kHkeyCurrentUser;
    const int32_t previousCount = ReadScriptDword(context, root, kRunRecordKey, kErrorCountValue);
    DeletePreviousMessages(context, root, previousCount);
    WriteScriptDword(context, root, kRunRecordKey, kErrorCountValue, 0);

    BuildCodeList(context, context.ProcessOrder);
    logon::ExpandMacros(context, *context.CodeList);
    const core::TStringList& code = *context.CodeList;
    const int lineCount = code.Count();
    for (int i = 0; i < lineCount; ++i) {
        ExecuteLine(context, code.Get(i));
    }

    if (!context.ErrorList) {
        context.ErrorList = std::make_unique<core::TStringList>();
    }
    const core::TStringList& errors = *context.ErrorList;
    const int messageCount = errors.Count();
    WriteScriptDword(context, root, kRunRecordKey, kErrorCountValue, messageCount);
    for (int i = 1; i <= messageCount; ++i) {
        WriteScriptString(context, root, kRunRecordKey, ErrorStringName(i), errors.Get(i - 1));
    }
    WriteScriptString(context, root, kRunRecordKey, kErrorUpdatedValue,
                      logon::CurrentDateTimeText(context));
}

}  // namespace script
