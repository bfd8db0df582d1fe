// TRegistry on this build's platform (the stand-in natively, the real
// registry under Wine), below HKEY_CURRENT_USER\Software\TarnwickTest.
#include "core/registry.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/exceptions.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "support/test_platform.h"

namespace {

using namespace platform;
using core::TRegistry;

using testsupport::RunId;

class TRegistryTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        path_ = "\\" + TestKey();
        registry_ = std::make_unique<TRegistry>(Current().registry());
    }
    void TearDown() override {
        registry_.reset();
        PlatformTest::TearDown();
    }
    // The stored type and bytes of a value below path_, through the platform.
    std::string Stored(const std::string& name, uint32_t* type) {
        Registry& reg = Current().registry();
        RegKey key = 0;
        if (reg.OpenKey(kHkeyCurrentUser, path_.substr(1), &key) != kErrorSuccess) {
            return "<no key>";
        }
        uint8_t buffer[64];
        uint32_t size = sizeof buffer;
        const platform::Win32Error rc = reg.QueryValue(key, name, type, buffer, &size);
        // The value is read; a close that fails changes nothing of it.
        static_cast<void>(reg.CloseKey(key));
        return rc == kErrorSuccess ? std::string(reinterpret_cast<char*>(buffer), size)
                                   : "<" + std::to_string(rc.code()) + ">";
    }
    void PutRaw(const std::string& name, uint32_t type, const std::string& bytes) {
        ASSERT_EQ(Current().registry().SetValue(registry_->CurrentKey(), name, type,
                                                reinterpret_cast<const uint8_t*>(bytes.data()),
                                                static_cast<uint32_t>(bytes.size())),
                  kErrorSuccess);
    }
    std::string RaisedBy(const std::function<void()>& action) {
        try {
            action();
        } catch (const core::ERegistryException& error) {
            return error.Message();
        }
        return "<nothing raised>";
    }

    std::string path_;
    std::unique_ptr<TRegistry> registry_;
};

TEST_F(TRegistryTest, WritesLandInTheOpenedKeyWithTheirTypes) {
    EXPECT_EQ(registry_->RootKey(), kHkeyCurrentUser);
    EXPECT_FALSE(registry_->HasCurrentKey());
    ASSERT_TRUE(registry_->OpenKey(path_));
    registry_->WriteString("S", "(None) ");
    registry_->WriteString("Empty", "");
    registry_->WriteInteger("D", -2);
    registry_->WriteBinaryData("B", std::string("\x01\x00\xff", 3));
    registry_->WriteBinaryData("None", "");

    uint32_t type = 0;
    EXPECT_EQ(Stored("S", &type), std::string("(None) \0", 8));
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(Stored("Empty", &type), std::string("\0", 1));
    EXPECT_EQ(Stored("D", &type), "\xfe\xff\xff\xff");
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(Stored("B", &type), std::string("\x01\x00\xff", 3));
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(Stored("None", &type), "");

    EXPECT_EQ(registry_->ReadInteger("d"), -2);
    EXPECT_TRUE(registry_->ValueExists("S"));
    EXPECT_TRUE(registry_->DeleteValue("S"));
    EXPECT_FALSE(registry_->ValueExists("S"));
    EXPECT_FALSE(registry_->DeleteValue("S"));
    for (const char* name : {"Empty", "D", "B", "None"}) {
        registry_->DeleteValue(name);
    }
}

TEST_F(TRegistryTest, OpeningWithOrWithoutTheBackslashReachesOneKey) {
    ASSERT_TRUE(registry_->OpenKey(path_.substr(1) + "\\Sub"));
    registry_->WriteInteger("N", 5);
    ASSERT_TRUE(registry_->OpenKey(path_ + "\\SUB"));
    EXPECT_EQ(registry_->ReadInteger("N"), 5);
    registry_->DeleteValue("N");

    // "\" alone opens the root itself and creates nothing.
    ASSERT_TRUE(registry_->OpenKey("\\"));
    const std::string name = "TarnwickRootProbe" + RunId();
    registry_->WriteInteger(name, 1);
    uint32_t size = 0;
    EXPECT_EQ(Current().registry().QueryValue(kHkeyCurrentUser, name, nullptr, nullptr, &size),
              kErrorSuccess);
    EXPECT_TRUE(registry_->DeleteValue(name));
}

TEST_F(TRegistryTest, FailedOpenKeepsTheKeyAndRootChangeClosesIt) {
    ASSERT_TRUE(registry_->OpenKey(path_));
    const RegKey opened = registry_->CurrentKey();
    // One backslash is taken off; the second one is refused by the platform.
    EXPECT_FALSE(registry_->OpenKey("\\\\Software"));
    EXPECT_TRUE(registry_->HasCurrentKey());
    EXPECT_EQ(registry_->CurrentKey(), opened);
    registry_->WriteInteger("Still", 1);
    uint32_t type = 0;
    EXPECT_EQ(Stored("Still", &type), std::string("\x01\0\0\0", 4));
    registry_->DeleteValue("Still");

    registry_->SetRootKey(kHkeyCurrentUser);
    EXPECT_EQ(registry_->CurrentKey(), opened);
    registry_->SetRootKey(kHkeyLocalMachine);
    EXPECT_FALSE(registry_->HasCurrentKey());
    EXPECT_EQ(registry_->RootKey(), kHkeyLocalMachine);
    // With no key open the platform refuses the write.
    EXPECT_EQ(RaisedBy([&] { registry_->WriteString("X", "y"); }), "Failed to set data for 'X'");
}

TEST_F(TRegistryTest, ReadingADwordChecksSizeThenType) {
    ASSERT_TRUE(registry_->OpenKey(path_));
    PutRaw("Short", kRegSz, std::string("abc\0", 4));
    PutRaw("Long", kRegSz, std::string("abcdef\0", 7));
    PutRaw("Four", kRegBinary, "1234");
    EXPECT_EQ(RaisedBy([&] { registry_->ReadInteger("Short"); }), "Invalid data type for 'Short'");
    EXPECT_EQ(RaisedBy([&] { registry_->ReadInteger("Long"); }), "Failed to get data for 'Long'");
    EXPECT_EQ(RaisedBy([&] { registry_->ReadInteger("Four"); }), "Invalid data type for 'Four'");
    EXPECT_EQ(RaisedBy([&] { registry_->ReadInteger("Absent"); }),
              "Failed to get data for 'Absent'");
    for (const char* name : {"Short", "Long", "Four"}) {
        registry_->DeleteValue(name);
    }
}

}  // namespace
