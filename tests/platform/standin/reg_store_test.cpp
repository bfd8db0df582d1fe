// The stand-in registry's files: what they hold, how they survive the
// process, hives, and what a damaged file does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/errors.h"
#include "platform/standin/reg_store.h"
#include "platform/standin/registry.h"
#include "support/standin/scratch_standin.h"

namespace {

using namespace platform;
using platform::standin::StandinRegistry;

std::string Slurp(const std::filesystem::path& path) {
    return testsupport::ScratchStandin::Read(path);
}

void Spill(const std::filesystem::path& path, const std::string& text, bool append = false) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out << text;
}

class RegStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { Restart(); }
    // A new process on the same workstation.
    void Restart() {
        scratch_.Restart();
        reg_ = static_cast<StandinRegistry*>(&scratch_.services().registry());
    }
    std::filesystem::path UserFile() const { return reg_->StoreFile(kHkeyCurrentUser); }
    std::filesystem::path Drive(const std::string& name) const { return scratch_.Drive() / name; }

    RegKey Create(RegKey base, const std::string& path) {
        RegKey key = 0;
        EXPECT_EQ(reg_->CreateKey(base, path, &key), kErrorSuccess) << path;
        return key;
    }
    platform::Win32Error Set(RegKey key, const std::string& name, uint32_t type,
                             const std::string& bytes) {
        return reg_->SetValue(key, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                              static_cast<uint32_t>(bytes.size()));
    }
    platform::Win32Error SetText(RegKey key, const std::string& name, const std::string& text) {
        return Set(key, name, kRegSz, std::string(text.c_str(), text.size() + 1));
    }
    // The text of a REG_SZ, or "<rc>" when it cannot be read.
    std::string Text(RegKey base, const std::string& path, const std::string& name) {
        RegKey key = 0;
        if (const platform::Win32Error rc = reg_->OpenKey(base, path, &key); rc != kErrorSuccess) {
            return "<" + std::to_string(rc.code()) + ">";
        }
        uint8_t buffer[4096];
        uint32_t size = sizeof buffer;
        uint32_t type = 0;
        const platform::Win32Error rc = reg_->QueryValue(key, name, &type, buffer, &size);
        // The value is read; a close that fails changes nothing of it.
        static_cast<void>(reg_->CloseKey(key));
        if (rc != kErrorSuccess) {
            return "<" + std::to_string(rc.code()) + ">";
        }
        return std::string(reinterpret_cast<char*>(buffer), size > 0 ? size - 1 : 0);
    }

    testsupport::ScratchStandin scratch_{"reg"};
    StandinRegistry* reg_ = nullptr;
};

TEST_F(RegStoreTest, StoreIsPlainRegTextThatANewProcessReads) {
    const RegKey key = Create(kHkeyCurrentUser, "Software\\Tarn");
    ASSERT_EQ(SetText(key, "Name", "te\"xt"), kErrorSuccess);
    ASSERT_EQ(Set(key, "Count", kRegDword, std::string("\x0a\0\0\0", 4)), kErrorSuccess);
    ASSERT_EQ(Set(key, "Bytes", kRegBinary, "\x01\xff"), kErrorSuccess);
    ASSERT_EQ(SetText(key, "", "def"), kErrorSuccess);
    ASSERT_EQ(SetText(key, "Gone", "x"), kErrorSuccess);
    ASSERT_EQ(reg_->DeleteValue(key, "gone"), kErrorSuccess);

    const std::string file = Slurp(UserFile());
    EXPECT_EQ(file.rfind("REGEDIT4\n", 0), 0u) << file;
    for (const char* line : {"\n[HKEY_CURRENT_USER\\Software\\Tarn]\n", "\n\"Name\"=\"te\\\"xt\"\n",
                             "\n\"Count\"=dword:0000000a\n", "\n\"Bytes\"=hex:01,ff\n",
                             "\n@=\"def\"\n", "\n\"Gone\"=-\n"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
    }

    Restart();
    EXPECT_EQ(Text(kHkeyCurrentUser, "SOFTWARE\\tarn", "name"), "te\"xt");
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Tarn", ""), "def");
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Tarn", "Gone"), "<2>");
}

TEST_F(RegStoreTest, EachRootIsStoredInAFileNamedAfterIt) {
    scratch_.WriteIdentity("User=jsmith\n");
    Create(kHkeyCurrentUser, "Software\\Tarn");
    Create(kHkeyLocalMachine, "Software\\Tarn");
    const std::filesystem::path folder = scratch_.dir() / "registry";
    for (const char* name : {"HKEY_CURRENT_USER/jsmith.reg", "HKEY_LOCAL_MACHINE.reg"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
    }
    EXPECT_EQ(UserFile(), folder / "HKEY_CURRENT_USER" / "jsmith.reg");
    EXPECT_FALSE(std::filesystem::exists(folder / "HKEY_CURRENT_USER.reg"));
}

TEST_F(RegStoreTest, NamesKeepTheCaseTheyWereCreatedWith) {
    const RegKey mixed = Create(kHkeyCurrentUser, "Software\\MiXed");
    const RegKey sub = Create(kHkeyCurrentUser, "SOFTWARE\\MIXED\\Sub");
    ASSERT_EQ(SetText(mixed, "ValName", "1"), kErrorSuccess);
    ASSERT_EQ(SetText(mixed, "VALNAME", "2"), kErrorSuccess);
    ASSERT_EQ(SetText(sub, "J\xc3\xa9r\xc3\xb4me", "3"), kErrorSuccess);  // Jérôme
    EXPECT_EQ(Text(kHkeyCurrentUser, "software\\mixed\\SUB", "J\xc3\x89R\xc3\x94ME"), "3");

    // The file is rewritten whole once it has grown: the names stay as made.
    for (int i = 0; i < 4000; ++i) {
        ASSERT_EQ(SetText(mixed, "VALNAME", std::string(40, 'a' + i % 26)), kErrorSuccess);
    }
    const std::string file = Slurp(UserFile());
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\MiXed\\Sub]"), std::string::npos);
    EXPECT_NE(file.find("\"ValName\"="), std::string::npos);
    EXPECT_EQ(file.find("VALNAME"), std::string::npos);
}

// Keys and values of any script are found whatever the case they are asked
// in, in this process and the next.
TEST_F(RegStoreTest, NamesBeyondWindows1252AreFoundIgnoringCase) {
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";                       // 東京
    const std::string lukasz = "\xC5\x81ukasz", upperLukasz = "\xC5\x81UKASZ";  // Łukasz
    const std::string eleni = "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7";       // Ελένη
    const std::string upperEleni = "\xCE\x95\xCE\x9B\xCE\x88\xCE\x9D\xCE\x97";  // ΕΛΈΝΗ
    const RegKey key = Create(kHkeyCurrentUser, "Software\\" + tokyo + "\\" + lukasz);
    ASSERT_EQ(SetText(key, tokyo, eleni), kErrorSuccess);
    ASSERT_EQ(SetText(key, eleni, tokyo), kErrorSuccess);
    for (int process = 0; process < 2; ++process) {
        SCOPED_TRACE(process == 0 ? "this process" : "the next");
        const std::string path = "SOFTWARE\\" + tokyo + "\\" + upperLukasz;
        EXPECT_EQ(Text(kHkeyCurrentUser, path, tokyo), eleni);
        EXPECT_EQ(Text(kHkeyCurrentUser, path, upperEleni), tokyo);
        EXPECT_EQ(Text(kHkeyCurrentUser, path, tokyo + "x"), "<2>");
        Restart();
    }
    EXPECT_NE(Slurp(UserFile()).find("\"" + tokyo + "\"=\"" + eleni + "\"\n"), std::string::npos);
}

// The program of old wrote its stores in Windows-1252: such a line, which
// is not UTF-8, is read as that, so the names in an old state folder stay.
TEST_F(RegStoreTest, LinesOfTheOldWindows1252StoresAreReadAsWindows1252) {
    Spill(UserFile(),
          "REGEDIT4\n"
          "[HKEY_CURRENT_USER\\Software\\Caf\xe9]\n"
          "\"J\xe9r\xf4me\"=\"\x80 5\"\n"
          "\"Plain\"=\"x\"\n"
          "[HKEY_CURRENT_USER\\Software\\Caf\xc3\xa9\\New]\n"
          "\"\xc5\x81ukasz\"=\"\xe6\x9d\xb1\"\n");
    Restart();
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\CAF\xc3\x89", "J\xc3\xa9r\xc3\xb4me"),
              "\xe2\x82\xac 5");
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Caf\xc3\xa9", "plain"), "x");
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Caf\xc3\xa9\\New", "\xc5\x81UKASZ"),
              "\xe6\x9d\xb1");
}

// Text that is not UTF-8 is kept as bytes, in a form no reader takes for
// Windows-1252.
TEST_F(RegStoreTest, TextThatIsNotUtf8IsStoredAsBytes) {
    const RegKey key = Create(kHkeyCurrentUser, "Software\\Bytes");
    ASSERT_EQ(SetText(key, "Odd", "a\xe9"), kErrorSuccess);
    EXPECT_NE(Slurp(UserFile()).find("\"Odd\"=hex(1):61,e9,00\n"), std::string::npos);
    Restart();
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Bytes", "Odd"), "a\xe9");
}

TEST_F(RegStoreTest, FileStaysProportionalToWhatItHolds) {
    const RegKey key = Create(kHkeyCurrentUser, "Software\\Churn");
    for (int i = 0; i < 20000; ++i) {
        ASSERT_EQ(SetText(key, "V" + std::to_string(i % 10), std::to_string(i)), kErrorSuccess);
        if (i % 7 == 0) {
            ASSERT_EQ(reg_->DeleteValue(key, "V" + std::to_string(i % 10)), kErrorSuccess);
        }
    }
    // Ten short values: the file is rewritten long before it reaches the
    // megabyte that 20,000 appended changes would take.
    EXPECT_LT(std::filesystem::file_size(UserFile()), 100u * 1024);
    Restart();
    for (int v = 0; v < 10; ++v) {
        const int last = 19990 + v;
        EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Churn", "V" + std::to_string(v)),
                  last % 7 == 0 ? "<2>" : std::to_string(last));
    }
}

TEST_F(RegStoreTest, TornLastLineIsDroppedNotJoinedToTheNextChange) {
    const RegKey key = Create(kHkeyCurrentUser, "Software\\Torn");
    ASSERT_EQ(SetText(key, "Whole", "yes"), kErrorSuccess);
    // The key has done its part; a close that fails changes no result.
    static_cast<void>(reg_->CloseKey(key));
    // A writer killed in mid-line left this (a whole line would be dword 0x0a).
    Spill(UserFile(), "\"Cut\"=dword:0000", true);

    Restart();
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Torn", "Whole"), "yes");
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Torn", "Cut"), "<2>");
    const RegKey again = Create(kHkeyCurrentUser, "Software\\Torn");
    ASSERT_EQ(SetText(again, "After", "1"), kErrorSuccess);
    EXPECT_EQ(Slurp(UserFile()).find("dword:0000"), std::string::npos);
    Restart();
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Torn", "After"), "1");
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Torn", "Cut"), "<2>");
}

TEST_F(RegStoreTest, DamagedStoreIsRefusedAndLeftAsItIs) {
    for (const std::string damaged :
         {"REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\nnot a value\n", "Windows Registry\n",
          "REGEDIT4\n\"Loose\"=\"no key\"\n", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n"}) {
        Spill(UserFile(), damaged);
        Restart();
        RegKey key = 0;
        EXPECT_EQ(reg_->CreateKey(kHkeyCurrentUser, "X", &key), kErrorBadfile) << damaged;
        EXPECT_EQ(Slurp(UserFile()), damaged);
    }
    // A store whose very first write was cut short starts again empty.
    Spill(UserFile(), "REGED");
    Restart();
    const RegKey key = Create(kHkeyCurrentUser, "X");
    EXPECT_EQ(SetText(key, "V", "ok"), kErrorSuccess);
    EXPECT_EQ(Slurp(UserFile()).rfind("REGEDIT4\n", 0), 0u);
}

TEST_F(RegStoreTest, ClassesRootIsTheMachineClassesKey) {
    const RegKey key = Create(kHkeyClassesRoot, "txtfile");
    ASSERT_EQ(SetText(key, "", "Text Document"), kErrorSuccess);
    EXPECT_EQ(Text(kHkeyLocalMachine, "Software\\Classes\\TXTFILE", ""), "Text Document");
    EXPECT_EQ(Text(kHkeyClassesRoot, "\\txtfile", ""), "Text Document");
    EXPECT_NE(Slurp(reg_->StoreFile(kHkeyLocalMachine))
                  .find("[HKEY_LOCAL_MACHINE\\Software\\Classes\\txtfile]\n@=\"Text Document\""),
              std::string::npos);
}

TEST_F(RegStoreTest, LoadedHiveIsReadAndWrittenBack) {
    Spill(Drive("guest.dat"),
          "REGEDIT4\r\n\r\n[HKEY_USERS\\someone\\Software\\Old]\r\n\"Kept\"=\"yes\"\r\n"
          "\"Bin\"=hex:01,02,\\\r\n  03\r\n");
    ASSERT_EQ(reg_->LoadKey("guest", "C:\\guest.dat"), kErrorSuccess);
    EXPECT_EQ(Text(kHkeyUsers, "GUEST\\software\\old", "Kept"), "yes");

    const RegKey key = Create(kHkeyUsers, "guest\\Software\\New");
    ASSERT_EQ(SetText(key, "Added", "1"), kErrorSuccess);
    const std::string file = Slurp(Drive("guest.dat"));
    EXPECT_NE(file.find("[HKEY_USERS\\guest\\Software\\New]\n\"Added\"=\"1\"\n"), std::string::npos)
        << file;
    // Nothing of it went to the process's own stores.
    EXPECT_EQ(Slurp(UserFile()).find("Added"), std::string::npos);

    // Mounted only for the process that loaded it.
    Restart();
    EXPECT_EQ(Text(kHkeyUsers, "guest\\Software\\New", "Added"), "<2>");
    ASSERT_EQ(reg_->LoadKey("Other", "c:\\GUEST.DAT"), kErrorSuccess);
    EXPECT_EQ(Text(kHkeyUsers, "other\\Software\\New", "Added"), "1");
    EXPECT_EQ(Text(kHkeyUsers, "Other\\Software\\Old", "Kept"), "yes");
}

TEST_F(RegStoreTest, HiveLoadRefusals) {
    const std::string hive = "REGEDIT4\n\n[HKEY_USERS\\x\\Software]\n";
    Spill(Drive("a.dat"), hive);
    Spill(Drive("b.dat"), hive);
    Spill(Drive("bad.dat"), "REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n");
    Spill(Drive("empty.dat"), "");
    std::filesystem::create_directories(Drive("folder"));
    // Only the store's creation matters here.
    static_cast<void>(
        reg_->CloseKey(Create(kHkeyCurrentUser, "Software")));  // the user's store exists now

    EXPECT_EQ(reg_->LoadKey("u", "C:\\missing.dat"), kErrorFileNotFound);
    EXPECT_EQ(reg_->LoadKey("u", "Q:\\a.dat"), kErrorPathNotFound);
    EXPECT_EQ(reg_->LoadKey("u", "C:\\folder"), kErrorAccessDenied);
    EXPECT_EQ(reg_->LoadKey("u", "C:\\bad.dat"), kErrorBadfile);
    EXPECT_EQ(reg_->LoadKey("u", "C:\\empty.dat"), kErrorBadfile);
    EXPECT_EQ(reg_->LoadKey("", "C:\\a.dat"), kErrorInvalidParameter);
    EXPECT_EQ(reg_->LoadKey("u\\v", "C:\\a.dat"), kErrorInvalidParameter);
    EXPECT_EQ(reg_->LoadKey("u", UserFile().string()), kErrorSharingViolation);

    ASSERT_EQ(reg_->LoadKey("u", "C:\\a.dat"), kErrorSuccess);
    EXPECT_EQ(reg_->LoadKey("U", "C:\\b.dat"), kErrorAlreadyExists);
    EXPECT_EQ(reg_->LoadKey("w", "C:\\A.DAT"), kErrorSharingViolation);
    EXPECT_EQ(Slurp(Drive("bad.dat")), "REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n");

    // Below HKEY_USERS itself there are only the loaded hives.
    RegKey key = 0;
    EXPECT_EQ(reg_->CreateKey(kHkeyUsers, "nobody\\Software", &key), kErrorAccessDenied);
    EXPECT_EQ(reg_->OpenKey(kHkeyUsers, "nobody", &key), kErrorFileNotFound);
    EXPECT_EQ(reg_->SetValue(kHkeyUsers, "V", kRegBinary, nullptr, 0), kErrorAccessDenied);
}

// A key written whole, read whole, and deleted with all below it, as
// records a new process and a rewrite both read the same.
TEST_F(RegStoreTest, KeysAreWrittenAndDeletedWhole) {
    using platform::standin::KeyPath;
    using platform::standin::RegStore;
    const auto file = scratch_.dir() / "keys.reg";
    const std::vector<RegStore::StoredValue> values = {{"B", kRegSz, std::string("2\0", 2)},
                                                       {"a", kRegSz, std::string("1\0", 2)}};
    const std::string keepIf = "a";
    {
        RegStore store(file, "HKEY_CURRENT_USER", false, true);
        ASSERT_EQ(store.WriteKey({"Top", "K"}, {{"Old", kRegSz, std::string("x\0", 2)}}), 0u);
        ASSERT_EQ(store.CreateKey({"Top", "K", "Sub"}), 0u);
        ASSERT_EQ(store.WriteKey({"top", "k"}, values), 0u);  // old values and sub-keys go
        EXPECT_EQ(store.WriteKey({"Top", "K"}, {}, &keepIf), kErrorAlreadyExists);
        ASSERT_EQ(store.WriteKey({"Top", "Gone"}, values), 0u);
        ASSERT_EQ(store.DeleteKey({"TOP", "gone"}), 0u);
        EXPECT_EQ(store.DeleteKey({"Top", "Gone"}), kErrorFileNotFound);
        EXPECT_EQ(store.DeleteKey({}), kErrorAccessDenied);
    }
    const auto check = [&](RegStore& store) {
        std::vector<RegStore::StoredValue> read;
        ASSERT_EQ(store.ReadValues({"Top", "K"}, &read), 0u);
        ASSERT_EQ(read.size(), 2u);
        EXPECT_EQ(read[0].name, "a");
        EXPECT_EQ(read[1].data, std::string("2\0", 2));
        EXPECT_EQ(store.KeyExists({"Top", "K", "Sub"}), kErrorFileNotFound);
        EXPECT_EQ(store.ReadValues({"Top", "Gone"}, &read), kErrorFileNotFound);
    };
    RegStore fresh(file, "HKEY_CURRENT_USER", false, true);
    check(fresh);
    // A rewrite, which many changes bring about, holds no deletion.
    for (int i = 0; i < 3000; ++i) {
        ASSERT_EQ(fresh.WriteKey({"Top", "Churn"}, values), 0u);
        ASSERT_EQ(fresh.DeleteKey({"Top", "Churn"}), 0u);
    }
    EXPECT_LT(fresh.FileBytes(), 70u * 1024);
    RegStore again(file, "HKEY_CURRENT_USER", false, true);
    check(again);
}

TEST_F(RegStoreTest, NamesThatCannotBeStoredOnOneLineAreRefused) {
    RegKey key = Create(kHkeyCurrentUser, "Software\\Names");
    EXPECT_EQ(SetText(key, "two\nlines", "x"), kErrorInvalidParameter);
    EXPECT_EQ(reg_->CreateKey(kHkeyCurrentUser, "Software\\a\rb", &key), kErrorInvalidParameter);
    // A Windows caller's name ends at its first zero byte.
    EXPECT_EQ(SetText(key, std::string("cut\0tail", 8), "y"), kErrorSuccess);
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Names", "cut"), "y");
}

// Every user has an HKEY_CURRENT_USER of his own, that of the user the
// identity names at the moment of the call; the machine's store is shared.
class UserStoresTest : public RegStoreTest {
  protected:
    void LogOn(const std::string& user) { scratch_.WriteIdentity("User=" + user + "\n"); }
    std::filesystem::path Folder() const { return scratch_.dir() / "registry"; }
    std::filesystem::path SharedStore() const { return Folder() / "HKEY_CURRENT_USER.reg"; }
    void SetWho(RegKey root, const std::string& who) {
        const RegKey key = Create(root, "Software\\Tarn");
        ASSERT_EQ(SetText(key, "Who", who), kErrorSuccess);
        // The key has done its part; a close that fails changes no result.
        static_cast<void>(reg_->CloseKey(key));
    }
    std::string Who(RegKey root = kHkeyCurrentUser) { return Text(root, "Software\\Tarn", "Who"); }

    // One logon after another: who logs on (after a restart of the process
    // or not), what he writes to his HKEY_CURRENT_USER, what he reads there
    // then, and whether the state folder's shared store is still there.
    struct Step {
        std::string user;
        bool restart;
        std::string write;
        std::string reads;
        bool sharedStoreLeft;
    };
    void Run(const std::vector<Step>& steps) {
        for (size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            LogOn(step.user);
            if (step.restart) {
                Restart();
            }
            if (!step.write.empty()) {
                SetWho(kHkeyCurrentUser, step.write);
            }
            EXPECT_EQ(Who(), step.reads) << "step " << i << ", " << step.user;
            EXPECT_EQ(std::filesystem::exists(SharedStore()), step.sharedStoreLeft) << "step " << i;
        }
    }
};

TEST_F(UserStoresTest, EachUserReadsOnlyWhatHeWrote) {
    Run({{"jsmith", false, "js", "js", false},
         {"adoe", false, "", "<2>", false},
         {"adoe", false, "ad", "ad", false},
         {"JSmith", true, "", "js", false},
         {"adoe", true, "", "ad", false}});
    // The machine's store is everyone's.
    SetWho(kHkeyLocalMachine, "machine");
    LogOn("jsmith");
    EXPECT_EQ(Who(kHkeyLocalMachine), "machine");
    int stores = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(Folder() / "HKEY_CURRENT_USER")) {
        ++stores;
    }
    EXPECT_EQ(stores, 2);
}

// A state folder from before the stores were kept per user: its one store
// becomes the store of the first user who has none, and no value is lost.
TEST_F(UserStoresTest, SharedStoreOfAnOlderStateFolderGoesToTheFirstUserWithoutAStore) {
    LogOn("adoe");
    SetWho(kHkeyCurrentUser, "ad");
    Spill(SharedStore(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Tarn]\n\"Who\"=\"old\"\n");
    Run({{"adoe", true, "", "ad", true},
         {"jsmith", false, "", "old", false},
         {"bjones", true, "", "<2>", false},
         {"JSMITH", true, "", "old", false}});
    EXPECT_NE(Slurp(Folder() / "HKEY_CURRENT_USER" / "jsmith.reg").find("\"Who\"=\"old\""),
              std::string::npos);
}

// HKEY_USERS\<user> is the logged-on user's store, as a loaded profile on
// Windows; a hive that the L command loads under that name takes its place
// while it is loaded.
TEST_F(UserStoresTest, HkeyUsersShowsTheUsersStoreUnlessAHiveTakesItsName) {
    LogOn("jsmith");
    SetWho(kHkeyCurrentUser, "js");
    EXPECT_EQ(Who(kHkeyUsers), "<2>");
    EXPECT_EQ(Text(kHkeyUsers, "JSMITH\\Software\\Tarn", "Who"), "js");
    EXPECT_EQ(Text(kHkeyUsers, "adoe\\Software\\Tarn", "Who"), "<2>");
    const RegKey key = Create(kHkeyUsers, "jsmith\\Software\\Via");
    ASSERT_EQ(SetText(key, "V", "users"), kErrorSuccess);
    // The key has done its part; a close that fails changes no result.
    static_cast<void>(reg_->CloseKey(key));
    EXPECT_EQ(Text(kHkeyCurrentUser, "Software\\Via", "V"), "users");
    RegKey refused = 0;
    EXPECT_EQ(reg_->CreateKey(kHkeyUsers, "adoe\\Software", &refused), kErrorAccessDenied);

    const auto subKeys = [&] {
        std::string names, name;
        for (uint32_t i = 0; reg_->EnumKey(kHkeyUsers, i, &name) == kErrorSuccess; ++i) {
            names += name + ";";
        }
        return names;
    };
    EXPECT_EQ(subKeys(), "jsmith;");

    Spill(Drive("hive.dat"), "REGEDIT4\n\n[HKEY_USERS\\x\\Software\\Tarn]\n\"Who\"=\"hive\"\n");
    ASSERT_EQ(reg_->LoadKey("jsmith", "C:\\hive.dat"), kErrorSuccess);
    EXPECT_EQ(Text(kHkeyUsers, "jsmith\\Software\\Tarn", "Who"), "hive");
    EXPECT_EQ(Who(), "js");
    EXPECT_EQ(subKeys(), "jsmith;");
}

// A user name becomes the name of his store's file, with what no file name
// may hold written as %XX.
TEST_F(UserStoresTest, StoreFileNamesHoldAnyUserName) {
    const std::pair<std::string, std::string> cases[] = {
        {"jsmith", "jsmith.reg"},
        {"J.Smith 2", "J.Smith 2.reg"},
        {"a/b\\c", "a%2Fb%5Cc.reg"},
        {"..", "%2E..reg"},
        {"", "%.reg"},
        {"100%", "100%25.reg"},
        {"tab\there", "tab%09here.reg"},
    };
    for (const auto& [user, file] : cases) {
        LogOn(user);
        EXPECT_EQ(UserFile(), Folder() / "HKEY_CURRENT_USER" / file) << user;
    }
}

}  // namespace
