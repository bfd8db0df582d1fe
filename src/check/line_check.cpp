#include "check/line_check.h"

#include <array>
#include <cstdio>

#include "core/convert.h"
#include "core/exceptions.h"
#include "core/strings.h"
#include "platform/registry_roots.h"
#include "script/commands.h"
#include "script/line_parser.h"
#include "script/messages.h"
#include "script/registry_commands.h"

namespace check {

namespace {

using script::CommandKind;

// What the check of a command reads: the line as ExecuteLine receives it,
// its cutting, and where it stands in the script.
struct LineInput {
    const std::string& line;
    const script::ParsedLine& parsed;
    const LineContext& context;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Blanks belong to names and values; a text that begins or ends with one,
// or is empty, is shown in quotes so that they can be seen.
std::string Shown(const std::string& text) {
    if (text.empty() || IsBlank(text.front()) || IsBlank(text.back())) {
        return "\"" + text + "\"";
    }
    return text;
}

// Why the line is no command, and what may have been meant.
std::string UnknownCommandText(const std::string& line) {
    const char first = line.front();
    const char upper = core::UpperAZ(first);
    if (upper != first && script::CommandOf(upper) != CommandKind::kUnknown) {
        return "\"" + line.substr(0, 1) +
               "\" is no command: command letters are case-sensitive, "
               "did you mean " +
               upper + "?";
    }
    if (IsBlank(first)) {
        const auto text = line.find_first_not_of(" \t");
        if (text == std::string::npos) {
            return "a line of blanks is no command";
        }
        if (script::CommandOf(line[text]) != CommandKind::kUnknown) {
            return "the line is indented: the command letter must be its first character";
        }
        return "a line that begins with a blank is no command";
    }
    return "\"" + line.substr(0, 1) + "\" is no command";
}

// Where a registry value lies: the key as OpenScriptKey sends it, then the
// value name (an empty one names the key's default value).
std::string ValuePlace(const script::ScriptKeyTarget& target, const std::string& valueName) {
    std::string key = platform::RootName(target.root) + target.path;
    if (valueName.empty()) {
        return "the default value of " + key;
    }
    if (valueName.find('\\') != std::string::npos) {
        return "the value \"" + valueName + "\" of " + key;
    }
    if (key.back() != '\\') {
        key += '\\';
    }
    return key + valueName;
}

std::string HexBytes(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        if (!text.empty()) {
            text += ' ';
        }
        text += pair;
    }
    return text;
}

std::string DwordText(int32_t number) {
    std::string text = std::to_string(number);
    if (number < 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<uint32_t>(number));
        text += std::string(" ($") + hex + ")";
    }
    return text;
}

void CheckRegistry(const LineInput& input, LineVerdict& verdict) {
    const script::ParsedLine& parsed = input.parsed;
    const LineContext& context = input.context;
    const script::RegistryCommand command =
        script::ParseRegistryCommand(parsed.destination, parsed.value);
    if (!command.hasValueName) {
        verdict.action = "nothing: no value name";
        verdict.flags.push_back(Flag(
            kind::kNoValueName,
            "the destination " + Shown(parsed.destination) + " has no \".\" before a value name",
            script::NoValueNameMessage(parsed.destination)));
        return;
    }
    if (command.valueName.find('\\') != std::string::npos) {
        verdict.flags.push_back(
            Flag(kind::kBackslashInValueName,
                 "the value name " + Shown(command.valueName) +
                     " holds a \"\\\": the key path ends at the first \".\", so a key whose name "
                     "holds a dot cannot be written to"));
    }
    const platform::RegKey root = script::CommandFor(parsed.kind).root;
    std::string place =
        ValuePlace(script::TargetOfScriptKey(root, command.keyPath, false, context.userName),
                   command.valueName);
    if (root == platform::kHkeyCurrentUser && !context.hiveLine.empty()) {
        place +=
            ", or " +
            ValuePlace(script::TargetOfScriptKey(root, command.keyPath, true, context.userName),
                       command.valueName) +
            " once the hive of " + context.hiveLine + " is attached";
    }
    switch (command.action) {
        case script::RegistryAction::kDelete:
            verdict.action = "delete " + place;
            return;
        case script::RegistryAction::kBinary: {
            std::string bytes = command.argument;
            script::HexToBinary(bytes);
            verdict.action = bytes.empty() ? "write an empty REG_BINARY to " + place
                                           : "write REG_BINARY " + HexBytes(bytes) + " to " + place;
            return;
        }
        case script::RegistryAction::kDword:
            try {
                verdict.action = "write REG_DWORD " + DwordText(core::StrToInt(command.argument)) +
                                 " to " + place;
            } catch (const core::EConvertError& failure) {
                verdict.action = "nothing: the number does not convert";
                verdict.flags.push_back(
                    Flag(kind::kBadNumber, "\"" + command.argument + "\" is not a number",
                         script::LineFailureMessage(failure.Message(), input.line)));
            }
            return;
        case script::RegistryAction::kString:
            verdict.action = "write REG_SZ \"" + command.argument + "\" to " + place;
            return;
        case script::RegistryAction::kNothing:
            verdict.action = "nothing";
            verdict.flags.push_back(
                Flag(kind::kNoTypeLetter,
                     parsed.value.empty()
                         ? "no type letter after the \"=\": the line does nothing"
                         : "\"" + parsed.value.substr(0, 1) +
                               "\" is not a type letter (S, D, B or -): the line does nothing"));
            return;
    }
}

void CheckCopy(const LineInput& input, LineVerdict& verdict) {
    const script::ParsedLine& parsed = input.parsed;
    const bool overwrite = parsed.kind == CommandKind::kCopyReplacing;
    if (parsed.destination.empty()) {
        verdict.action = "nothing: the copy fails, there is no target";
        verdict.flags.push_back(Flag(kind::kNoCopyTarget,
                                     parsed.eq == 0
                                         ? "the line has no \"=\": the whole line is taken as "
                                           "the source and the target is empty"
                                         : "the target before the \"=\" is empty",
                                     script::CopyFailureMessage(parsed.value, parsed.destination)));
        return;
    }
    verdict.action = "copy " + Shown(parsed.value) + " to " + Shown(parsed.destination) +
                     (overwrite ? " (replacing it)" : " (only when it does not exist yet)");
}

void CheckConnect(const LineInput& input, LineVerdict& verdict) {
    const script::ParsedLine& parsed = input.parsed;
    const char* what = parsed.kind == CommandKind::kConnectDrive ? "drive" : "printer";
    verdict.action =
        std::string("map ") + what + " " + Shown(parsed.destination) + " to " + Shown(parsed.value);
    if (parsed.eq == 0) {
        verdict.flags.push_back(Flag(kind::kNoDevice,
                                     "the line has no \"=\": the device is empty and the whole "
                                     "line is taken as the network name"));
    }
}

std::string IniFault(const script::ParsedLine& parsed) {
    if (parsed.lb != 2) {
        return "the \"[\" must follow the I directly";
    }
    if (parsed.rb < parsed.lb) {
        return "no \"]\" ends the file name";
    }
    if (parsed.eq == 0) {
        return "no \"=\" follows the key";
    }
    return "the \"=\" comes before the \"]\"";
}

void CheckIni(const LineInput& input, LineVerdict& verdict) {
    const script::ParsedLine& parsed = input.parsed;
    if (!parsed.iniFormValid) {
        verdict.action = "nothing written: the line is not of the form I[file]section.key=value";
        verdict.flags.push_back(
            Flag(kind::kMalformedIni, IniFault(parsed),
                 script::IniFailureMessage(parsed.file, parsed.sectionAndKey, parsed.value)));
        return;
    }
    const std::string entry = Shown(parsed.target.key + "=" + parsed.value);
    verdict.action = parsed.target.section.empty()
                         ? "write " + entry + " outside any section of " + Shown(parsed.file)
                         : "write " + entry + " in section [" + parsed.target.section + "] of " +
                               Shown(parsed.file);
}

void CheckLength(const std::string& raw, const std::string& line, const script::ParsedLine& parsed,
                 LineVerdict& verdict) {
    const auto limit = static_cast<size_t>(script::kArgumentLimit);
    const script::CommandArguments arguments = script::CommandFor(parsed.kind).arguments;
    const bool usesValue = arguments == script::CommandArguments::kValue;
    const bool usesRest = arguments == script::CommandArguments::kRest;
    // The value starts after the first "=", or at the first character when
    // there is none; the rest after the command letter.
    const size_t valueLength = line.size() - static_cast<size_t>(parsed.eq);
    if (usesValue && valueLength > limit) {
        verdict.flags.push_back(Flag(kind::kLongLine,
                                     "over 999 characters after the \"=\": only the first 999 are "
                                     "used, " +
                                         std::to_string(valueLength - limit) + " are dropped"));
    } else if (usesRest && line.size() - 1 > limit) {
        verdict.flags.push_back(Flag(kind::kLongLine,
                                     "over 999 characters after the command letter: only the "
                                     "first 999 are used, " +
                                         std::to_string(line.size() - 1 - limit) + " are dropped"));
    }
    if (parsed.kind != CommandKind::kComment && raw != line &&
        (raw.size() > limit || line.size() > limit)) {
        verdict.flags.push_back(Flag(kind::kLongLine,
                                     "over 999 characters with macro references: expansion keeps "
                                     "at most 999 characters after each reference, so the end of "
                                     "the line may be lost"));
    }
}

void CheckTooShort(const LineInput&, LineVerdict& verdict) {
    verdict.action = "ignored: shorter than 5 characters";
}

void CheckComment(const LineInput&, LineVerdict& verdict) {
    verdict.action = "nothing: a comment";
}

void CheckHive(const LineInput& input, LineVerdict& verdict) {
    verdict.action = "attach the hive " + Shown(input.parsed.rest) + " as " +
                     script::HiveKeyName(input.context.userName) +
                     "; once it loads, U lines and the run record go into it";
}

void CheckFolder(const LineInput& input, LineVerdict& verdict) {
    verdict.action =
        "make the folder " + Shown(input.parsed.rest) + " and any missing folders above it";
}

void CheckUnknown(const LineInput& input, LineVerdict& verdict) {
    verdict.action = "nothing: unknown command";
    verdict.flags.push_back(Flag(kind::kUnknownCommand, UnknownCommandText(input.line),
                                 script::UnknownCommandMessage(input.line)));
}

// How each command is told, one row per kind of the command table
// (script/commands.cpp), in its order. The checks live here, apart from that
// table, so that script/ never depends on check/; InKindOrder keeps this
// table complete: a kind without its row here fails to build.
struct CommandCheck {
    CommandKind kind;
    void (*check)(const LineInput& input, LineVerdict& verdict);
};
constexpr std::array<CommandCheck, script::kCommandKinds> kChecks = {{
    {CommandKind::kTooShort, CheckTooShort},
    {CommandKind::kComment, CheckComment},
    {CommandKind::kCopyReplacing, CheckCopy},
    {CommandKind::kCopyIfMissing, CheckCopy},
    {CommandKind::kConnectDrive, CheckConnect},
    {CommandKind::kConnectPrinter, CheckConnect},
    {CommandKind::kWriteIni, CheckIni},
    {CommandKind::kAttachHive, CheckHive},
    {CommandKind::kRegistryLocalMachine, CheckRegistry},
    {CommandKind::kRegistryClassesRoot, CheckRegistry},
    {CommandKind::kRegistryCurrentUser, CheckRegistry},
    {CommandKind::kMakeDirectory, CheckFolder},
    {CommandKind::kUnknown, CheckUnknown},
}};
static_assert(script::InKindOrder(kChecks),
              "one check for every kind, in the order of CommandKind");

}  // namespace

LineVerdict CheckLine(const std::string& raw, const std::string& expanded,
                      const LineContext& context) {
    const script::ParsedLine parsed = script::ParseLine(expanded);
    LineVerdict verdict;
    verdict.kind = parsed.kind;
    verdict.command = script::CommandFor(parsed.kind).word;
    kChecks[static_cast<size_t>(parsed.kind)].check({expanded, parsed, context}, verdict);
    CheckLength(raw, expanded, parsed, verdict);
    return verdict;
}

}  // namespace check
