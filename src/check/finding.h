// What the checker says about a logon beyond what each line does: flags
// (a certain failure or an almost certain mistake) and notes (worth
// knowing, not wrong).
#pragma once
#include <string>

namespace check {

enum class Severity { kFlag, kNote };

struct Finding {
    Severity severity = Severity::kFlag;
    std::string kind;     // a fixed word for tools, e.g. "unknown-command"
    std::string text;     // the explanation for people
    std::string message;  // what the program records or shows; empty when nothing
};

// The kinds, one word each.
namespace kind {
inline constexpr const char* kSettingsMissing = "settings-missing";
inline constexpr const char* kStartupStops = "startup-stops";
inline constexpr const char* kRunStops = "run-stops";
inline constexpr const char* kMissingScriptFile = "missing-script-file";
inline constexpr const char* kNoScriptFiles = "no-script-files";
inline constexpr const char* kUnknownProcessLetter = "unknown-process-letter";
inline constexpr const char* kNoFullName = "no-full-name";
inline constexpr const char* kShadowedMacro = "shadowed-macro";
inline constexpr const char* kUnknownCommand = "unknown-command";
inline constexpr const char* kNoValueName = "no-value-name";
inline constexpr const char* kBadNumber = "bad-number";
inline constexpr const char* kNoTypeLetter = "no-type-letter";
inline constexpr const char* kBackslashInValueName = "backslash-in-value-name";
inline constexpr const char* kMalformedIni = "malformed-ini";
inline constexpr const char* kNoCopyTarget = "no-copy-target";
inline constexpr const char* kNoDevice = "no-device";
inline constexpr const char* kUndefinedMacro = "undefined-macro";
inline constexpr const char* kMacroOrder = "macro-order";
inline constexpr const char* kSelfReference = "self-reference";
inline constexpr const char* kLongLine = "long-line";
inline constexpr const char* kNoCopySource = "no-copy-source";
inline constexpr const char* kBadDevice = "bad-device";
inline constexpr const char* kBadNetworkName = "bad-network-name";
inline constexpr const char* kKeyTooLong = "key-too-long";
// A failure the run records that only the workstation explains.
inline constexpr const char* kCopyFails = "copy-fails";
inline constexpr const char* kConnectFails = "connect-fails";
inline constexpr const char* kIniFails = "ini-fails";
inline constexpr const char* kHiveFails = "hive-fails";
inline constexpr const char* kRegistryFails = "registry-fails";
inline constexpr const char* kLineFails = "line-fails";
// How a script file's bytes read as text.
inline constexpr const char* kMixedEncoding = "mixed-encoding";
inline constexpr const char* kNotText = "not-text";
inline constexpr const char* kLostCharacters = "lost-characters";
// A fact of the workstation the check cannot know; the text says what must hold.
inline constexpr const char* kDepends = "depends";
// What the user's rights refuse the line (a standard user's, by default).
inline constexpr const char* kRights = "rights";
}  // namespace kind

inline Finding Flag(std::string kindWord, std::string text, std::string message = {}) {
    return {Severity::kFlag, std::move(kindWord), std::move(text), std::move(message)};
}
inline Finding Note(std::string kindWord, std::string text) {
    return {Severity::kNote, std::move(kindWord), std::move(text), {}};
}

}  // namespace check
