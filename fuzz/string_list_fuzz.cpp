// Loading a list from a file: every line-break rule, NUL bytes, and the
// name=value lookups over whatever was loaded. Loading the same bytes
// through the file and, read as text, from memory must give the same list, and a list
// written back with CR LF must load as itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/string_list.h"
#include "fuzz_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FreshState state("string-list");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto path = state.Write("LIST.DAT", bytes);

    core::TStringList fromFile;
    const platform::Services services = state.services();
    fromFile.LoadFromFile(services.files(), path.string());
    core::TStringList fromText;
    fromText.SetText(core::DecodeText(bytes).text);
    if (fromFile.Lines() != fromText.Lines()) {
        std::abort();
    }

    std::string written;
    for (const std::string& line : fromFile.Lines()) {
        written += line + "\r\n";
    }
    core::TStringList again;
    again.SetText(written);
    if (again.Lines() != fromFile.Lines()) {
        std::abort();
    }

    // Every name the list holds is found, at or before its own line (a
    // line without "=" has no name and is never found).
    for (int i = 0; i < fromFile.Count() && i < 64; ++i) {
        if (fromFile.Get(i).find('=') == std::string::npos) {
            continue;
        }
        const std::string name = fromFile.NameAt(i);
        const int found = fromFile.IndexOfName(name, services.system());
        if (found < 0 || found > i) {
            std::abort();
        }
        (void)fromFile.ValueOf(name, services.system());
    }
    return 0;
}
