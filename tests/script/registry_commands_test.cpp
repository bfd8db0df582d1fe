#include "script/registry_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "core/exceptions.h"
#include "logon/identity.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/registry_roots.h"
#include "support/test_platform.h"

namespace {

using namespace platform;
using namespace script;

using testsupport::RunId;

// Records which keys are created and opened where; refuses what it is told to.
class RecordingRegistry : public Registry {
  public:
    platform::Win32Error CreateKey(RegKey base, const std::string& subKey,
                                   RegKey* result) override {
        calls.push_back("create " + ShortRootName(base) + " " + subKey);
        if (refused.count(subKey) != 0 || (!subKey.empty() && subKey.front() == '\\')) {
            return kErrorAccessDenied;
        }
        *result = ++lastHandle;
        return kErrorSuccess;
    }
    platform::Win32Error OpenKey(RegKey base, const std::string& subKey, RegKey* result) override {
        calls.push_back("open " + ShortRootName(base) + " " + subKey);
        *result = ++lastHandle;
        return kErrorSuccess;
    }
    platform::Win32Error SetValue(RegKey, const std::string& name, uint32_t, const uint8_t*,
                                  uint32_t) override {
        calls.push_back("set " + name);
        return refuseSet ? kErrorAccessDenied : kErrorSuccess;
    }
    platform::Win32Error QueryValue(RegKey, const std::string&, uint32_t*, uint8_t*,
                                    uint32_t*) override {
        return kErrorFileNotFound;
    }
    platform::Win32Error DeleteValue(RegKey, const std::string&) override {
        return kErrorFileNotFound;
    }
    platform::Win32Error CloseKey(RegKey key) override {
        calls.push_back("close " + std::to_string(key));
        return kErrorSuccess;
    }
    platform::Win32Error LoadKey(const std::string& subKey, const std::string& file) override {
        calls.push_back("load " + subKey + " " + file);
        return loadResult;
    }
    platform::Win32Error EnumKey(RegKey, uint32_t, std::string*) override {
        return kErrorNoMoreItems;
    }
    platform::Win32Error EnumValue(RegKey, uint32_t, std::string*) override {
        return kErrorNoMoreItems;
    }

    std::vector<std::string> calls;
    std::set<std::string> refused;
    bool refuseSet = false;
    uint32_t loadResult = kErrorSuccess;
    RegKey lastHandle = 100;
};

class RegistryCommandsFakeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        context_.emplace(Services().With(fake_));
        context().CreateScriptRegistry();
        context().ErrorList = std::make_unique<core::TStringList>();
        context().UserName = "guest";
    }
    logon::LogonContext& context() { return *context_; }
    std::vector<std::string> Errors() const { return context_->Errors(); }
    // The calls of `action` alone.
    std::vector<std::string> CallsOf(const std::function<void()>& action) {
        fake_.calls.clear();
        action();
        return fake_.calls;
    }
    using Calls = std::vector<std::string>;

    RecordingRegistry fake_;
    std::optional<logon::LogonContext> context_;
};

TEST_F(RegistryCommandsFakeTest, KeyPathsAreTakenFromTheRootAndKeysStayOpenUntilReplaced) {
    EXPECT_EQ(CallsOf([this] { OpenScriptKey(context(), kHkeyCurrentUser, "Software\\X"); }),
              Calls{"create HKCU Software\\X"});
    // The new key is opened before the old one is closed.
    EXPECT_EQ(CallsOf([this] { OpenScriptKey(context(), kHkeyCurrentUser, "\\Software\\X"); }),
              Calls({"create HKCU Software\\X", "close 101"}));
    EXPECT_EQ(CallsOf([this] { OpenScriptKey(context(), kHkeyCurrentUser, ""); }),
              Calls({"open HKCU ", "close 102"}));
    // A second leading backslash reaches the platform, which refuses it.
    EXPECT_EQ(
        CallsOf([this] { EXPECT_FALSE(OpenScriptKey(context(), kHkeyCurrentUser, "\\\\X")); }),
        Calls{"create HKCU \\X"});
    EXPECT_EQ(CallsOf([this] { OpenScriptKey(context(), kHkeyLocalMachine, "Y"); }),
              Calls({"close 103", "create HKLM Y"}));
    EXPECT_EQ(CallsOf([this] { context().ScriptRegistry.reset(); }), Calls{"close 104"});
    EXPECT_FALSE(
        OpenScriptKey(context(), kHkeyCurrentUser, "Z"));  // no registry object: nothing opens
}

TEST_F(RegistryCommandsFakeTest, HiveRedirectsCurrentUserUntilTheNextLCommandFails) {
    EXPECT_EQ(CallsOf([this] { AttachUserHive(context(), "\\\\srv\\hives\\guest.dat"); }),
              Calls{"load guest \\\\srv\\hives\\guest.dat"});
    EXPECT_EQ(context().AttachedHive, "\\\\srv\\hives\\guest.dat");
    EXPECT_EQ(CallsOf([this] {
                  ApplyRegistryCommand(context(), kHkeyCurrentUser, "Software\\X.V", "S1");
              }),
              Calls({"create HKU guest\\Software\\X", "set V"}));
    EXPECT_EQ(CallsOf([this] { ApplyRegistryCommand(context(), kHkeyCurrentUser, ".V", "D1"); }),
              Calls({"create HKU guest\\", "close 101", "set V"}));
    EXPECT_EQ(
        CallsOf([this] { ReadScriptDword(context(), kHkeyCurrentUser, "Software\\Run", "Count"); }),
        Calls({"create HKU guest\\Software\\Run", "close 102"}));
    // Other roots are not redirected (and changing the root closes the key).
    EXPECT_EQ(CallsOf([this] {
                  ApplyRegistryCommand(context(), kHkeyLocalMachine, "Software\\X.V", "S1");
              }),
              Calls({"close 103", "create HKLM Software\\X", "set V"}));
    EXPECT_EQ(CallsOf([this] {
                  ApplyRegistryCommand(context(), kHkeyClassesRoot, "Software\\X.V", "S1");
              }),
              Calls({"close 104", "create HKCR Software\\X", "set V"}));
    EXPECT_TRUE(Errors().empty());

    fake_.loadResult = kErrorPrivilegeNotHeld;
    AttachUserHive(context(), "second.dat");
    EXPECT_EQ(Errors(), Calls{"Error attaching second.dat to HKEY_USERS\\guest"});
    EXPECT_EQ(context().AttachedHive, "");
    EXPECT_EQ(CallsOf([this] {
                  ApplyRegistryCommand(context(), kHkeyCurrentUser, "Software\\X.V", "S1");
              }),
              Calls({"close 105", "create HKCU Software\\X", "set V"}));
}

TEST_F(RegistryCommandsFakeTest, FailuresAreReportedAsEachCommandRequires) {
    fake_.refused = {"Bad\\Key", "Bad"};
    ApplyRegistryCommand(context(), kHkeyCurrentUser, "Bad\\Key.V", "Stext");
    ApplyRegistryCommand(context(), kHkeyCurrentUser, "Bad\\Key.V", "D1");
    ApplyRegistryCommand(context(), kHkeyCurrentUser, "\\Bad.V",
                         "s");  // as written: two backslashes
    ApplyRegistryCommand(context(), kHkeyCurrentUser, "Bad\\Key.V", "B01");
    ApplyRegistryCommand(context(), kHkeyCurrentUser, "Bad\\Key.V", "-");
    ApplyRegistryCommand(context(), kHkeyCurrentUser, "Software\\NoDot", "S1");
    EXPECT_EQ(ReadScriptDword(context(), kHkeyCurrentUser, "Bad", "V"), 0);
    DeleteScriptValue(context(), kHkeyCurrentUser, "Bad", "V");
    EXPECT_FALSE(WriteScriptDword(context(), kHkeyCurrentUser, "Bad", "V", 1));
    EXPECT_EQ(Errors(), Calls({"Failed to open \\Bad\\Key in create mode.",
                               "Failed to open \\Bad\\Key in create mode.",
                               "Failed to open \\\\Bad in create mode.",
                               "No value name in destination Software\\NoDot"}));

    // A bad number raises before any key is opened.
    EXPECT_TRUE(CallsOf([this] {
                    EXPECT_THROW(ApplyRegistryCommand(context(), kHkeyCurrentUser, "K.V", "D12 "),
                                 core::EConvertError);
                }).empty());
    fake_.refuseSet = true;
    for (const char* spec : {"S", "D0", "B"}) {
        try {
            ApplyRegistryCommand(context(), kHkeyCurrentUser, "K.Val", spec);
            ADD_FAILURE() << spec << " raised nothing";
        } catch (const core::ERegistryException& error) {
            EXPECT_EQ(error.Message(), "Failed to set data for 'Val'");
        }
    }
}

TEST_F(RegistryCommandsFakeTest, UnknownOrEmptyValueSpecDoesNothing) {
    for (const char* spec : {"", "X1", "?", " S1", "\xe4"}) {
        EXPECT_TRUE(CallsOf([&] {
                        ApplyRegistryCommand(context(), kHkeyCurrentUser, "K.V", spec);
                    }).empty())
            << spec;
    }
    EXPECT_TRUE(Errors().empty());
}

TEST(HexToBinaryTest, KeepsHexDigitsInPairs) {
    const std::pair<std::string, std::string> cases[] = {
        {"01 ff,7a", "\x01\xff\x7a"},
        {"0x1F", "\x01"},
        {"123", "\x12"},
        {"abcdefg", "\xab\xcd\xef"},
        {"", ""},
        {"zz", ""},
        {"F", ""},
        {"0\n0", std::string(1, '\0')},
    };
    for (const auto& [text, bytes] : cases) {
        std::string converted = text;
        HexToBinary(converted);
        EXPECT_EQ(converted, bytes) << text;
    }
    EXPECT_EQ(HexPairToByte('F', '0'), 0xF0);
    EXPECT_EQ(HexPairToByte('0', 'A'), 0x0A);
}

// The commands on this build's platform, below
// HKEY_CURRENT_USER\Software\TarnwickTest\<run>\<test>.
class RegistryCommandsTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        context().CreateScriptRegistry();
        context().ErrorList = std::make_unique<core::TStringList>();
        context().UserName = "tarnwick" + RunId();
        key_ = TestKey();
    }
    void TearDown() override {
        for (const std::string& name : written_) {
            ApplyRegistryCommand(context(), kHkeyCurrentUser, key_ + "." + name, "-");
        }
        PlatformTest::TearDown();
    }
    void Run(const std::string& name, const std::string& spec) {
        written_.push_back(name);
        ApplyRegistryCommand(context(), kHkeyCurrentUser, key_ + "." + name, spec);
    }
    // "<type>:<bytes>" of a value, or "<rc>".
    std::string Stored(const std::string& keyPath, const std::string& name) {
        Registry& reg = Current().registry();
        RegKey key = 0;
        if (const platform::Win32Error rc = reg.OpenKey(kHkeyCurrentUser, keyPath, &key); rc != 0) {
            return "<" + std::to_string(rc.code()) + ">";
        }
        uint8_t buffer[64];
        uint32_t size = sizeof buffer;
        uint32_t type = 0;
        const platform::Win32Error rc = reg.QueryValue(key, name, &type, buffer, &size);
        // The value is read; a close that fails changes nothing of it.
        static_cast<void>(reg.CloseKey(key));
        if (rc != 0) {
            return "<" + std::to_string(rc.code()) + ">";
        }
        return std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(buffer), size);
    }
    std::string Stored(const std::string& name) { return Stored(key_, name); }

    std::string key_;
    std::vector<std::string> written_;
};

TEST_F(RegistryCommandsTest, ValueSpecsWriteTheirTypes) {
    const struct {
        const char* name;
        const char* spec;
        std::string stored;
    } cases[] = {
        {"Wallpaper", "S(None)", std::string("1:(None)\0", 9)},
        {"Blanks", "s  two  ", std::string("1:  two  \0", 10)},
        {"EmptyText", "S", std::string("1:\0", 3)},
        {"Bin", "B01 ff,7a", "3:\x01\xff\x7a"},
        {"Odd", "b123", "3:\x12"},
        {"Prefixed", "B0x1F", "3:\x01"},
        {"NoDigits", "Bxyz", "3:"},
        {"Dollar", "D$10", std::string("4:\x10\0\0\0", 6)},
        {"Minus", "d-1", "4:\xff\xff\xff\xff"},
        {"Pattern", "D$FFFFFFFF", "4:\xff\xff\xff\xff"},
        {"Lowest", "D-2147483648", std::string("4:\0\0\0\x80", 6)},
        {"Leading", "D   12", std::string("4:\x0c\0\0\0", 6)},
        {"a.b", "S1", std::string("1:1\0", 4)},  // the value name runs past the first dot
        {"", "Sdefault", std::string("1:default\0", 10)},
        {"Other", "X1", "<2>"},
        {"NoSpec", "", "<2>"},
    };
    for (const auto& c : cases) {
        Run(c.name, c.spec);
    }
    for (const auto& c : cases) {
        EXPECT_EQ(Stored(c.name), c.stored) << c.spec;
    }
    EXPECT_TRUE(Errors().empty());

    Run("Wallpaper", "-");
    Run("Bin", "-and the rest");
    EXPECT_EQ(Stored("Wallpaper"), "<2>");
    EXPECT_EQ(Stored("Bin"), "<2>");
}

TEST_F(RegistryCommandsTest, ReadingAndDeletingCreateTheKey) {
    EXPECT_EQ(ReadScriptDword(context(), kHkeyCurrentUser, key_ + "\\Read", "Count"), 0);
    EXPECT_EQ(Stored(key_ + "\\Read", "Count"), "<2>");  // the key exists now, empty
    ApplyRegistryCommand(context(), kHkeyCurrentUser, key_ + "\\Deleted.Count", "-");
    EXPECT_EQ(Stored(key_ + "\\Deleted", "Count"), "<2>");

    Run("Count", "D-7");
    EXPECT_EQ(ReadScriptDword(context(), kHkeyCurrentUser, key_, "Count"), -7);
    Run("Text", "Sabc");
    EXPECT_THROW(ReadScriptDword(context(), kHkeyCurrentUser, key_, "Text"),
                 core::ERegistryException);
    DeleteScriptValue(context(), kHkeyCurrentUser, "\\" + key_, "COUNT");
    EXPECT_EQ(Stored("Count"), "<2>");
}

TEST_F(RegistryCommandsTest, AttachedHiveTakesTheCurrentUsersWrites) {
    WriteFile(At("user.dat"), "REGEDIT4\n\n[HKEY_USERS\\old\\Software]\n");
    AttachUserHive(context(), At("user.dat"));
    if (!IsStandin()) {
        // Loading hives needs a privilege this process does not hold.
        EXPECT_EQ(Errors(), std::vector<std::string>{"Error attaching " + At("user.dat") +
                                                     " to HKEY_USERS\\" + context().UserName});
        EXPECT_EQ(context().AttachedHive, "");
        return;
    }
    ASSERT_TRUE(Errors().empty());
    EXPECT_EQ(context().AttachedHive, At("user.dat"));
    ApplyRegistryCommand(context(), kHkeyCurrentUser, "Software\\Hived.Where", "Shive");
    EXPECT_NE(ReadFile(At("user.dat")).find("\\Software\\Hived]\n\"Where\"=\"hive\""),
              std::string::npos);
    EXPECT_EQ(Stored("Software\\Hived", "Where"), "<2>");

    // A failing L command reports and turns the redirection off; the hive
    // stays loaded.
    AttachUserHive(context(), At("missing.dat"));
    EXPECT_EQ(Errors(), std::vector<std::string>{"Error attaching " + At("missing.dat") +
                                                 " to HKEY_USERS\\" + context().UserName});
    Run("After", "Sown");
    EXPECT_EQ(Stored("After"), std::string("1:own\0", 6));
    EXPECT_EQ(ReadFile(At("user.dat")).find("After"), std::string::npos);
}

}  // namespace
