// The .reg store reader on any file: as the user's store and as a hive.
// A file that loads takes one more change and loads again with it; a file
// that does not is left exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz_state.h"
#include "platform/registry_roots.h"
#include "platform/standin/reg_store.h"

namespace {

constexpr uint32_t kRegSz = 1;

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Exercise(const std::filesystem::path& file, const std::string& root, bool hive) {
    using platform::standin::RegStore;
    const std::string before = Contents(file);
    const platform::standin::KeyPath key = {"Software", "Fuzz"};
    {
        RegStore store(file, root, hive, !hive);
        if (store.Check() != 0) {
            // Refused as a whole: changes are refused too, and nothing of
            // the file may change.
            const uint32_t made = store.CreateKey(key);
            if ((made == 0 && store.SetValue(key, "Value", kRegSz, "x") == 0) ||
                Contents(file) != before) {
                std::abort();
            }
            return;
        }
        if (store.CreateKey(key) != 0 || store.SetValue(key, "Value", kRegSz, "written") != 0) {
            std::abort();
        }
    }
    RegStore again(file, root, hive, !hive);
    uint32_t type = 0;
    std::string data;
    if (again.Check() != 0 || again.QueryValue(key, "Value", &type, &data) != 0 || type != kRegSz ||
        data != "written") {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FreshState state("reg-store");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Exercise(state.Write("STORE.reg", bytes), platform::RootName(platform::kHkeyCurrentUser),
             false);
    Exercise(state.Write("HIVE.reg", bytes), platform::RootName(platform::kHkeyUsers) + "\\FUZZ",
             true);
    return 0;
}
