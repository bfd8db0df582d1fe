// Random logons for the randomized comparison of the checker with the run:
// a login share (settings, macros, full-name list, script files) and a
// stand-in workstation (shares, drive C, connections, hives, registry
// values) made up from one seed. Every script line comes from one table of
// line templates, well-formed and malformed, whose {slots} are filled from
// small pools, so that later lines often meet the places earlier lines made.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace randomlogons {

// A registry value the workstation holds before the logon.
struct SeedValue {
    std::string root;             // "U" for HKEY_CURRENT_USER, "M" for HKEY_LOCAL_MACHINE
    std::string key, name, data;  // data: the text of a REG_SZ, the number of a REG_DWORD
    bool dword = false;
};

struct Logon {
    std::string user, machine;
    // Files by relative path ("/" separated) with their bytes; folders to
    // make, empty ones included. Share: the folder the program starts in.
    // State: the stand-in's state folder.
    std::map<std::string, std::string> shareFiles, stateFiles;
    std::vector<std::string> shareFolders, stateFolders;
    std::vector<SeedValue> values;
};

// The logon number `index` of the run with `seed`: the same pair always
// gives the same logon, so that one logon of a long run can be made again.
Logon GenerateLogon(uint64_t seed, uint64_t index);

}  // namespace randomlogons
