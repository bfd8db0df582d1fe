#include "check/line_check.h"

#include <array>

#include "core/convert.h"
#include "core/exceptions.h"
#include "core/strings.h"
#include "platform/names.h"
#include "platform/reg_key.h"
#include "script/commands.h"
#include "script/line_parser.h"
#include "script/messages.h"
#include "script/registry_commands.h"

namespace check {

namespace {

using script::CommandKind;

// What the advice on a command reads: the line as ExecuteLine receives it
// and its cutting.
struct LineInput {
    const std::string& line;
    const script::ParsedLine& parsed;
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

void Fails(LineAdvice& advice, const char* kindWord, std::string text) {
    advice.failureKind = kindWord;
    advice.failureText = std::move(text);
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

void AdviseRegistry(const LineInput& input, LineAdvice& advice) {
    const script::ParsedLine& parsed = input.parsed;
    const script::RegistryCommand command =
        script::ParseRegistryCommand(parsed.destination, parsed.value);
    if (!command.hasValueName) {
        Fails(advice, kind::kNoValueName,
              "the destination " + Shown(parsed.destination) + " has no \".\" before a value name");
        return;
    }
    if (command.valueName.find('\\') != std::string::npos) {
        advice.notes.push_back(
            Flag(kind::kBackslashInValueName,
                 "the value name " + Shown(command.valueName) +
                     " holds a \"\\\": the key path ends at the first \".\", so a key whose name "
                     "holds a dot cannot be written to"));
    }
    if (command.action == script::RegistryAction::kDword) {
        try {
            static_cast<void>(core::StrToInt(command.argument));
        } catch (const core::EConvertError&) {
            Fails(advice, kind::kBadNumber, "\"" + command.argument + "\" is not a number");
            return;
        }
    }
    if (command.action == script::RegistryAction::kNothing) {
        advice.idle = "nothing: no type letter";
        advice.notes.push_back(
            Flag(kind::kNoTypeLetter,
                 parsed.value.empty()
                     ? "no type letter after the \"=\": the line does nothing"
                     : "\"" + parsed.value.substr(0, 1) +
                           "\" is not a type letter (S, D, B or -): the line does nothing"));
        return;
    }
    if (platform::SubKeyLengthError(command.keyPath)) {
        Fails(advice, kind::kKeyTooLong,
              "the key path is longer than 260 characters, or a key name in it longer than 255: "
              "no such key can be opened or made");
        return;
    }
    Fails(advice, kind::kRegistryFails,
          "the key cannot be opened or made for writing on this workstation");
}

void AdviseCopy(const LineInput& input, LineAdvice& advice) {
    const script::ParsedLine& parsed = input.parsed;
    advice.idle = "nothing: the target is there already";
    if (parsed.destination.empty()) {
        Fails(advice, kind::kNoCopyTarget,
              parsed.eq == 0 ? "the line has no \"=\": the whole line is taken as the source and "
                               "the target is empty"
                             : "the target before the \"=\" is empty");
    } else if (parsed.value.empty()) {
        Fails(advice, kind::kNoCopySource, "the source after the \"=\" is empty");
    } else {
        Fails(advice, kind::kCopyFails,
              "the source is missing or a folder, the target's folder is missing, or the target "
              "cannot be replaced");
    }
}

void AdviseConnect(const LineInput& input, LineAdvice& advice) {
    const script::ParsedLine& parsed = input.parsed;
    const bool drive = parsed.kind == CommandKind::kConnectDrive;
    const platform::DeviceKind device = platform::ClassifyDevice(parsed.destination);
    if (parsed.eq == 0) {
        Fails(advice, kind::kNoDevice,
              "the line has no \"=\": the device is empty and the whole line is taken as the "
              "network name");
    } else if (device == platform::DeviceKind::kInvalid) {
        Fails(advice, kind::kBadDevice,
              Shown(parsed.destination) +
                  " is no device name: a drive is a letter and a colon, a printer LPT1-LPT9, "
                  "COM1-COM9 or PRN");
    } else if (device != platform::DeviceKind::kNone &&
               device !=
                   (drive ? platform::DeviceKind::kDrive : platform::DeviceKind::kPrinterPort)) {
        Fails(advice, kind::kBadDevice,
              drive ? Shown(parsed.destination) + " is a printer port, not a drive"
                    : Shown(parsed.destination) + " is a drive, not a printer port");
    } else if (platform::UncComponents(parsed.value).size() < 2) {
        Fails(advice, kind::kBadNetworkName,
              "the network name " + Shown(parsed.value) + " is not of the form \\\\server\\share");
    } else {
        Fails(advice, kind::kConnectFails,
              "the network refuses the connection (the code in the message says why)");
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

void AdviseIni(const LineInput& input, LineAdvice& advice) {
    const script::ParsedLine& parsed = input.parsed;
    if (!parsed.iniFormValid) {
        Fails(advice, kind::kMalformedIni,
              IniFault(parsed) + ": the line is not of the form I[file]section.key=value");
    } else if (parsed.file.empty()) {
        Fails(advice, kind::kIniFails, "no file name between the brackets");
    } else {
        Fails(advice, kind::kIniFails,
              "the INI file cannot be written: its folder is missing, or it is a folder or "
              "read-only");
    }
}

void CheckLength(const std::string& raw, const std::string& line, const script::ParsedLine& parsed,
                 std::vector<Finding>& notes) {
    const auto limit = static_cast<size_t>(script::kArgumentLimit);
    const script::CommandArguments arguments = script::CommandFor(parsed.kind).arguments;
    const bool usesValue = arguments == script::CommandArguments::kValue;
    const bool usesRest = arguments == script::CommandArguments::kRest;
    // The value starts after the first "=", or at the first character when
    // there is none; the rest after the command letter.
    const size_t valueLength = line.size() - static_cast<size_t>(parsed.eq);
    if (usesValue && valueLength > limit) {
        notes.push_back(Flag(kind::kLongLine,
                             "over 999 characters after the \"=\": only the first 999 are "
                             "used, " +
                                 std::to_string(valueLength - limit) + " are dropped"));
    } else if (usesRest && line.size() - 1 > limit) {
        notes.push_back(Flag(kind::kLongLine,
                             "over 999 characters after the command letter: only the "
                             "first 999 are used, " +
                                 std::to_string(line.size() - 1 - limit) + " are dropped"));
    }
    if (parsed.kind != CommandKind::kComment && raw != line &&
        (raw.size() > limit || line.size() > limit)) {
        notes.push_back(Flag(kind::kLongLine,
                             "over 999 characters with macro references: expansion keeps "
                             "at most 999 characters after each reference, so the end of "
                             "the line may be lost"));
    }
}

void AdviseTooShort(const LineInput&, LineAdvice& advice) {
    advice.idle = "ignored: shorter than 5 characters";
}

void AdviseComment(const LineInput&, LineAdvice& advice) {
    advice.idle = "nothing: a comment";
}

void AdviseHive(const LineInput&, LineAdvice& advice) {
    Fails(advice, kind::kHiveFails,
          "the hive file is missing or no hive, a hive is attached under the name already, or "
          "the user may not load hives");
}

void AdviseFolder(const LineInput&, LineAdvice& advice) {
    advice.idle = "nothing: the folder is there already, or cannot be made";
}

void AdviseUnknown(const LineInput& input, LineAdvice& advice) {
    advice.idle = "nothing: unknown command";
    Fails(advice, kind::kUnknownCommand, UnknownCommandText(input.line));
}

// The advice on each command, one row per kind of the command table
// (script/commands.cpp), in its order. It lives here, apart from that
// table, so that script/ never depends on check/; InKindOrder keeps this
// table complete: a kind without its row here fails to build.
struct CommandAdvice {
    CommandKind kind;
    void (*advise)(const LineInput& input, LineAdvice& advice);
};
constexpr std::array<CommandAdvice, script::kCommandKinds> kAdvice = {{
    {CommandKind::kTooShort, AdviseTooShort},
    {CommandKind::kComment, AdviseComment},
    {CommandKind::kCopyReplacing, AdviseCopy},
    {CommandKind::kCopyIfMissing, AdviseCopy},
    {CommandKind::kConnectDrive, AdviseConnect},
    {CommandKind::kConnectPrinter, AdviseConnect},
    {CommandKind::kWriteIni, AdviseIni},
    {CommandKind::kAttachHive, AdviseHive},
    {CommandKind::kRegistryLocalMachine, AdviseRegistry},
    {CommandKind::kRegistryClassesRoot, AdviseRegistry},
    {CommandKind::kRegistryCurrentUser, AdviseRegistry},
    {CommandKind::kMakeDirectory, AdviseFolder},
    {CommandKind::kUnknown, AdviseUnknown},
}};
static_assert(script::InKindOrder(kAdvice), "advice for every kind, in the order of CommandKind");

}  // namespace

LineAdvice AdviseLine(const std::string& raw, const std::string& expanded) {
    const script::ParsedLine parsed = script::ParseLine(expanded);
    LineAdvice advice;
    advice.kind = parsed.kind;
    advice.command = script::CommandFor(parsed.kind).word;
    advice.idle = "nothing changes";
    kAdvice[static_cast<size_t>(parsed.kind)].advise({expanded, parsed}, advice);
    CheckLength(raw, expanded, parsed, advice.notes);
    if (advice.failureKind.empty()) {
        Fails(advice, kind::kLineFails, "the run records a failure for the line");
    }
    return advice;
}

}  // namespace check
