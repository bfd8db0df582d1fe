// What a standard user and an administrator may write on the stand-in, as
// Windows' default security decides (platform/default_access.h): each kind
// of write the logon makes, run once with each rights.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/default_access.h"
#include "platform/errors.h"
#include "platform/reg_key.h"
#include "support/standin/scratch_standin.h"

namespace {

using namespace platform;
using testsupport::ScratchStandin;

struct Write {
    const char* what;
    std::function<Win32Error(ScratchStandin&)> make;
    uint32_t standard;  // the code a standard user gets; an administrator gets 0
};

Win32Error SetString(ScratchStandin& ws, RegKey root, const std::string& key) {
    return WriteRegString(ws.services().registry(), root, key, "V", "x");
}

Win32Error Copy(ScratchStandin& ws, const std::string& target) {
    return ws.services().files().CopyFileW("C:\\Data\\src.txt", target, false);
}

Win32Error Ini(ScratchStandin& ws, const std::string& file) {
    return ws.services().profile().WritePrivateProfileStringW("S", "k", "v", file);
}

const Write kWrites[] = {
    {"a value of the user's own key",
     [](auto& ws) { return SetString(ws, kHkeyCurrentUser, "Software\\T"); }, 0},
    {"a new key of the machine's",
     [](auto& ws) { return SetString(ws, kHkeyLocalMachine, "Software\\New"); }, 5},
    {"a value of a machine's key that is there",
     [](auto& ws) { return SetString(ws, kHkeyLocalMachine, "Software\\There"); }, 5},
    {"a classes key of the machine's",
     [](auto& ws) { return SetString(ws, kHkeyClassesRoot, ".tw"); }, 5},
    {"a classes key the user's own classes hold",
     [](auto& ws) { return SetString(ws, kHkeyClassesRoot, "Mine"); }, 0},
    {"a hive loaded",
     [](auto& ws) { return ws.services().registry().LoadKey("hive", "C:\\Data\\hive.reg"); }, 1314},
    {"a new file in C:\\Windows", [](auto& ws) { return Copy(ws, "C:\\Windows\\new.txt"); }, 5},
    {"a file of C:\\Windows changed", [](auto& ws) { return Copy(ws, "C:\\Windows\\old.txt"); }, 5},
    {"a new file in C:\\Windows\\Temp",
     [](auto& ws) { return Copy(ws, "C:\\Windows\\Temp\\new.txt"); }, 0},
    {"a new folder in C:\\Program Files",
     [](auto& ws) { return ws.services().files().CreateDirectoryW("C:\\Program Files\\App"); }, 5},
    {"a new file at the root of C:", [](auto& ws) { return Copy(ws, "C:\\new.txt"); }, 5},
    {"a file at the root of C: changed", [](auto& ws) { return Copy(ws, "C:\\old.txt"); }, 0},
    {"a new folder at the root of C:",
     [](auto& ws) { return ws.services().files().CreateDirectoryW("C:\\NewFolder"); }, 0},
    {"an INI file of a bare name (C:\\Windows)", [](auto& ws) { return Ini(ws, "app.ini"); }, 5},
    {"a new INI file at the root of C:", [](auto& ws) { return Ini(ws, "C:\\app.ini"); }, 5},
    {"an INI file in a folder of C:", [](auto& ws) { return Ini(ws, "C:\\Data\\app.ini"); }, 0},
};

// The workstation every write starts from, laid down by an administrator.
void LayOut(ScratchStandin& ws) {
    ws.Write("drives/c/Data/src.txt", "source");
    ws.Write("drives/c/Data/hive.reg", "REGEDIT4\r\n\r\n");
    ws.Write("drives/c/Windows/old.txt", "old");
    ws.Write("drives/c/Windows/Temp/.keep", "");
    ws.Write("drives/c/Program Files/.keep", "");
    ws.Write("drives/c/old.txt", "old");
    Registry& registry = ws.services().registry();
    ASSERT_EQ(WriteRegString(registry, kHkeyLocalMachine, "Software\\There", "V", "old"), 0u);
    ASSERT_EQ(WriteRegString(registry, kHkeyCurrentUser, "Software\\Classes\\Mine", "V", "old"),
              0u);
}

TEST(StandinRightsTest, AStandardUserGetsWindowsRefusalsAndAnAdministratorNone) {
    for (const Rights rights : {Rights::kStandard, Rights::kAdministrator}) {
        for (const Write& write : kWrites) {
            ScratchStandin ws("rights");
            LayOut(ws);
            ws.Write("identity.ini", std::string("Rights=") + RightsName(rights) + "\n");
            const uint32_t expected = rights == Rights::kStandard ? write.standard : 0;
            EXPECT_EQ(write.make(ws).code(), expected) << RightsName(rights) << ": " << write.what;
        }
    }
}

// A classes key the user holds takes the write; the machine's stays as it was.
TEST(StandinRightsTest, ClassesRootWritesLandInTheUsersOwnClassesFirst) {
    ScratchStandin ws("classes");
    LayOut(ws);
    ASSERT_EQ(SetString(ws, kHkeyClassesRoot, "Mine"), 0u);
    std::string value;
    EXPECT_EQ(ReadRegString(ws.services().registry(), kHkeyCurrentUser, "Software\\Classes\\Mine",
                            "V", &value),
              0u);
    EXPECT_EQ(value, "x");
    UniqueRegKey machine;
    EXPECT_EQ(OpenRegKey(ws.services().registry(), kHkeyLocalMachine, "Software\\Classes\\Mine",
                         &machine),
              kErrorFileNotFound);
}

}  // namespace
