// Script lines, one after another, carried out on a fresh stand-in
// workstation: every command letter, every cut of "=" "[" "]", and every
// failure path of the file, INI, registry, hive and network commands.
//
// Each line is confined first (see Confined) so that it stays inside the
// state directory.
#include <unistd.h>

#include <cstdint>
#include <string>

#include "core/string_list.h"
#include "fuzz_state.h"
#include "script/interpreter.h"
#include "script/registry_commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FreshState state("execute-line");
    // Relative names land in the state directory's work folder.
    const auto work = state.Write("work/.keep", "").parent_path();
    if (::chdir(work.c_str()) != 0) {
        return 0;
    }
    // A share with a file to copy and a hive to attach, so those commands
    // get past their first check.
    state.Write("network/SRV/SHARE/FILE.TXT", "contents\r\n");
    state.Write("drives/c/HIVE.REG", "REGEDIT4\r\n\r\n[HKEY_USERS\\X]\r\n\"A\"=\"B\"\r\n");

    core::TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
    {
        logon::LogonContext context(state.services());
        context.ErrorList = std::make_unique<core::TStringList>();
        context.CreateScriptRegistry();
        for (const std::string& line : lines.Lines()) {
            script::ExecuteLine(context, fuzzing::Confined(line));
        }
    }
    ::chdir("/");
    return 0;
}
