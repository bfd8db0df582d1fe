// Each user's connections in his own HKEY_CURRENT_USER store, with the
// values Windows writes there, and the shared connections file of old taken
// over once, by the first user whose process uses the connections.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/standin/context.h"
#include "support/standin/scratch_standin.h"

namespace {

namespace fs = std::filesystem;
using platform::standin::Connection;
using platform::standin::Context;

class ConnectionsTest : public ::testing::Test {
  protected:
    void LogOn(const std::string& user) { scratch_.Write("identity.ini", "User=" + user + "\n"); }
    fs::path UserStore(const std::string& user) const {
        return scratch_.dir() / "registry" / "HKEY_CURRENT_USER" / (user + ".reg");
    }
    fs::path Shared() const { return scratch_.dir() / "profile" / "connections"; }
    // "H: \\FS01\HOME, S: ..." for the devices asked, as `user` finds them.
    std::string Seen(const std::string& user, bool inspect = false) {
        LogOn(user);
        Context context(scratch_.dir(), inspect);
        std::string seen;
        for (const char* device : {"H:", "S:", "LPT1"}) {
            if (const auto found = context.connections.Find(device)) {
                seen += std::string(seen.empty() ? "" : ", ") + device + " " + found->remoteName;
            }
        }
        return seen;
    }
    // Every file below the state folder with its bytes.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(scratch_.dir())) {
            files[entry.path().string()] =
                entry.is_regular_file() ? testsupport::ScratchStandin::Read(entry.path()) : "/";
        }
        return files;
    }

    testsupport::ScratchStandin scratch_{"connections"};
};

// A connection is the key Network\<device> of the user's store, holding
// what Windows writes for a connection made with the user's own
// credentials; cancelling it deletes the key, so the store imports into a
// real registry with the user's drives and nothing more.
TEST_F(ConnectionsTest, ConnectionIsTheUsersNetworkKeyAsWindowsWritesIt) {
    LogOn("jsmith");
    {
        Context context(scratch_.dir());
        ASSERT_EQ(context.connections.Set("s:", Connection{1, "\\\\FS01\\SALES"}), 0u);
        ASSERT_EQ(context.connections.Set("LPT1", Connection{2, "\\\\PR01\\LASER"}), 0u);
        ASSERT_EQ(context.connections.Set("T:", Connection{1, "\\\\FS01\\TEMP"}), 0u);
        ASSERT_EQ(context.connections.Remove("t:"), 0u);
        EXPECT_EQ(context.connections.Remove("t:"), 0u);  // nothing left to remove
    }
    const std::string text = testsupport::ScratchStandin::Read(UserStore("jsmith"));
    // A connection is written by writing the store anew, its values in
    // the order of their names.
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Network\\s]\n"
                        "\"ConnectFlags\"=dword:00000000\n"
                        "\"ConnectionType\"=dword:00000001\n"
                        "\"DeferFlags\"=dword:00000004\n"
                        "\"ProviderName\"=\"Microsoft Windows Network\"\n"
                        "\"ProviderType\"=dword:00020000\n"
                        "\"RemotePath\"=\"\\\\\\\\FS01\\\\SALES\"\n"
                        "\"UserName\"=\"\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"ConnectionType\"=dword:00000002"), std::string::npos);
    EXPECT_NE(text.find("[-HKEY_CURRENT_USER\\Network\\T]"), std::string::npos);
    EXPECT_EQ(Seen("jsmith"), "S: \\\\FS01\\SALES, LPT1 \\\\PR01\\LASER");
    Context context(scratch_.dir());
    EXPECT_FALSE(context.connections.Find("T:"));
    EXPECT_FALSE(context.connections.Find("S")) << "no device, yet the name of S:'s key";
}

// A key without RemotePath is no connection: a write that a crash cut short,
// or a key the script made itself.
TEST_F(ConnectionsTest, KeyWithoutRemotePathIsNoConnection) {
    scratch_.Write(
        "registry/HKEY_CURRENT_USER/jsmith.reg",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Network\\S]\n"
        "\"ConnectionType\"=dword:00000001\n\"ProviderName\"=\"Microsoft Windows "
        "Network\"\n\n[HKEY_CURRENT_USER\\Network\\H]\n\"RemotePath\"=\"\\\\\\\\FS01\\\\HOME\"\n");
    EXPECT_EQ(Seen("jsmith"), "H: \\\\FS01\\HOME") << "ConnectionType 1 when it is missing";
}

// The shared file of old, taken over by the first user whose process uses
// the connections, never over a connection he has already; a file that a
// crash left in the middle of a take-over is taken over at his next use.
TEST_F(ConnectionsTest, SharedFileOfOldIsTakenOverOnceByTheFirstUser) {
    const std::string shared = "H:\t1\t\\\\FS01\\HOME\nS:\t1\t\\\\FS01\\SALES\n";
    const struct {
        const char* name;
        std::map<std::string, std::string> files;  // below the state folder
        std::string ownS;                          // alice's S: beforehand
        std::string alice, bob;                    // what each sees afterwards, alice first
        bool sharedLeft;
    } cases[] = {
        {"shared file",
         {{"profile/connections", shared}},
         "",
         "H: \\\\FS01\\HOME, S: \\\\FS01\\SALES",
         "",
         false},
        {"own S: stays",
         {{"profile/connections", shared}},
         "\\\\FS01\\MINE",
         "H: \\\\FS01\\HOME, S: \\\\FS01\\MINE",
         "",
         false},
        {"torn line skipped",
         {{"profile/connections", "H:\t1\t\\\\FS01\\HOME\nS:\t1"}},
         "",
         "H: \\\\FS01\\HOME",
         "",
         false},
        {"crash left alice's",
         {{"profile/connections.alice.pending", "LPT1\t2\t\\\\PR\\LASER\n"},
          {"profile/connections", shared}},
         "",
         "LPT1 \\\\PR\\LASER",
         "H: \\\\FS01\\HOME, S: \\\\FS01\\SALES",
         false},
        {"crash left bob's",
         {{"profile/connections.bob.pending", "LPT1\t2\t\\\\PR\\LASER\n"}},
         "",
         "",
         "LPT1 \\\\PR\\LASER",
         false},
        {"no file", {}, "\\\\FS01\\MINE", "S: \\\\FS01\\MINE", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(scratch_.dir() / "profile");
        fs::remove_all(scratch_.dir() / "registry");
        if (!c.ownS.empty()) {
            LogOn("alice");
            Context context(scratch_.dir());
            ASSERT_EQ(context.connections.Set("S:", Connection{1, c.ownS}), 0u);
        }
        for (const auto& [name, bytes] : c.files) {
            scratch_.Write(name, bytes);
        }
        // A look beforehand tells what the logon will find, and changes
        // nothing.
        LogOn("alice");
        const auto before = Files();
        EXPECT_EQ(Seen("alice", /*inspect=*/true), c.alice);
        EXPECT_EQ(Files(), before);
        EXPECT_EQ(Seen("alice"), c.alice);
        EXPECT_EQ(Seen("bob"), c.bob);
        EXPECT_EQ(Seen("alice"), c.alice) << "a second process";
        EXPECT_EQ(fs::exists(Shared()), c.sharedLeft);
        EXPECT_FALSE(fs::exists(scratch_.dir() / "profile" / "connections.alice.pending"));
        EXPECT_FALSE(fs::exists(scratch_.dir() / "profile" / "connections.bob.pending"));
    }
}

// Looking a device up, as every path on a drive does, makes no store.
TEST_F(ConnectionsTest, LookingUpMakesNoStore) {
    LogOn("alice");
    Context context(scratch_.dir());
    EXPECT_FALSE(context.connections.Find("S:"));
    EXPECT_TRUE(context.paths.Resolve("S:\\x.txt") == std::nullopt);
    EXPECT_FALSE(fs::exists(scratch_.dir() / "registry"));
}

// A workstation only looked at is not changed, and no connection can be
// made on it.
TEST_F(ConnectionsTest, InspectedWorkstationIsNeverWritten) {
    scratch_.Write("profile/connections", "H:\t1\t\\\\FS01\\HOME\n");
    LogOn("alice");
    const auto before = Files();
    Context context(scratch_.dir(), /*inspect=*/true);
    EXPECT_TRUE(context.connections.Find("H:"));
    EXPECT_EQ(context.connections.Set("S:", Connection{1, "\\\\FS01\\SALES"}),
              platform::kErrorAccessDenied);
    EXPECT_EQ(context.connections.Remove("H:"), platform::kErrorAccessDenied);
    EXPECT_EQ(Files(), before);
}

}  // namespace
