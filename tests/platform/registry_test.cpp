// The registry calls as the system relies on them, run against the stand-in
// natively and against the real registry under Wine. Every test works below
// HKEY_CURRENT_USER\Software\TarnwickTest\<run>\<test> and removes the
// values it wrote.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/errors.h"
#include "platform/platform.h"
#include "support/test_platform.h"

namespace {

using namespace platform;

using testsupport::RunId;

class RegistryContractTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        reg_ = &Current().registry();
        ASSERT_NE(reg_, nullptr);
        basePath_ = TestKey();
        ASSERT_EQ(reg_->CreateKey(kHkeyCurrentUser, basePath_, &base_), kErrorSuccess);
    }
    void TearDown() override {
        for (const auto& [key, name] : written_) {
            RegKey handle = 0;
            if (reg_->OpenKey(base_, key, &handle) == kErrorSuccess) {
                // Clean-up: a value that is gone already is as good.
                static_cast<void>(reg_->DeleteValue(handle, name));
                static_cast<void>(reg_->CloseKey(handle));
            }
        }
        // Clean-up of the test's own key: a close that fails changes no result.
        static_cast<void>(reg_->CloseKey(base_));
        PlatformTest::TearDown();
    }

    // Writes below the base key (`key` relative to it) and remembers the
    // value for the clean-up.
    platform::Win32Error Set(RegKey handle, const std::string& key, const std::string& name,
                             uint32_t type, const std::string& bytes) {
        written_.emplace_back(key, name);
        return reg_->SetValue(handle, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                              static_cast<uint32_t>(bytes.size()));
    }
    platform::Win32Error Set(const std::string& name, uint32_t type, const std::string& bytes) {
        return Set(base_, "", name, type, bytes);
    }
    // The stored bytes of `name`, read into a buffer of the reported size.
    std::string Get(RegKey handle, const std::string& name, uint32_t* type = nullptr) {
        uint32_t storedType = 0;
        uint32_t size = 0;
        EXPECT_EQ(reg_->QueryValue(handle, name, &storedType, nullptr, &size), kErrorSuccess)
            << name;
        std::string bytes(size, '\0');
        EXPECT_EQ(reg_->QueryValue(handle, name, &storedType,
                                   reinterpret_cast<uint8_t*>(bytes.data()), &size),
                  kErrorSuccess);
        EXPECT_EQ(size, bytes.size());
        if (type != nullptr) {
            *type = storedType;
        }
        return bytes;
    }

    Registry* reg_ = nullptr;
    std::string basePath_;
    RegKey base_ = 0;
    std::vector<std::pair<std::string, std::string>> written_;
};

TEST_F(RegistryContractTest, KeysAreMadeOnTheWayAndFoundIgnoringCase) {
    RegKey made = 0;
    ASSERT_EQ(reg_->CreateKey(base_, "Alpha\\Beta\\Gamma", &made), kErrorSuccess);
    EXPECT_NE(made, base_);
    ASSERT_EQ(Set(made, "Alpha\\Beta\\Gamma", "Value", kRegDword, std::string("\x07\0\0\0", 4)),
              kErrorSuccess);

    // Runs of backslashes count as one and a trailing one is ignored.
    for (const char* path : {"alpha\\BETA\\gamma", "Alpha\\\\Beta\\Gamma\\"}) {
        RegKey opened = 0;
        ASSERT_EQ(reg_->OpenKey(base_, path, &opened), kErrorSuccess) << path;
        EXPECT_EQ(Get(opened, "VALUE"), std::string("\x07\0\0\0", 4)) << path;
        EXPECT_EQ(reg_->CloseKey(opened), kErrorSuccess);
    }
    RegKey missing = 0;
    EXPECT_EQ(reg_->OpenKey(base_, "Alpha\\Missing", &missing), kErrorFileNotFound);
    EXPECT_EQ(reg_->CloseKey(made), kErrorSuccess);
}

TEST_F(RegistryContractTest, LeadingBackslashIsRefusedAndEmptySubKeyOpensTheBase) {
    RegKey key = 0;
    EXPECT_EQ(reg_->CreateKey(base_, "\\Sub", &key), kErrorBadPathname);
    EXPECT_EQ(reg_->OpenKey(base_, "\\Sub", &key), kErrorBadPathname);

    ASSERT_EQ(reg_->OpenKey(base_, "", &key), kErrorSuccess);
    ASSERT_EQ(Set(key, "", "ThroughEmpty", kRegSz, std::string("x\0", 2)), kErrorSuccess);
    EXPECT_EQ(Get(base_, "ThroughEmpty"), std::string("x\0", 2));
    EXPECT_EQ(reg_->CloseKey(key), kErrorSuccess);

    RegKey root = 0;
    ASSERT_EQ(reg_->OpenKey(kHkeyCurrentUser, "", &root), kErrorSuccess);
    RegKey below = 0;
    ASSERT_EQ(reg_->OpenKey(root, basePath_, &below), kErrorSuccess);
    EXPECT_EQ(Get(below, "ThroughEmpty"), std::string("x\0", 2));
    EXPECT_EQ(reg_->CloseKey(below), kErrorSuccess);
    EXPECT_EQ(reg_->CloseKey(root), kErrorSuccess);
}

TEST_F(RegistryContractTest, LongKeyNamesAndSubKeyPathsAreRefused) {
    RegKey key = 0;
    ASSERT_EQ(reg_->CreateKey(base_, "Long\\" + std::string(255, 'k'), &key), kErrorSuccess);
    EXPECT_EQ(reg_->CloseKey(key), kErrorSuccess);
    // A sub-key path of more than 260 characters, short names or not.
    std::string path;
    for (int i = 0; i < 26; ++i) {
        path += "abcdefghi\\";
    }
    ASSERT_EQ(path.size(), 260u);
    ASSERT_EQ(reg_->CreateKey(base_, path, &key), kErrorSuccess);
    EXPECT_EQ(reg_->CloseKey(key), kErrorSuccess);
    EXPECT_EQ(reg_->CreateKey(base_, path + "j", &key), kErrorMoreData);
    EXPECT_EQ(reg_->OpenKey(base_, path + "j", &key), kErrorMoreData);
    // Wine's answer, which the stand-in copies.
    EXPECT_EQ(reg_->CreateKey(base_, "Long\\" + std::string(256, 'k'), &key), kErrorMoreData);
    EXPECT_EQ(reg_->OpenKey(base_, "Long\\" + std::string(256, 'k'), &key), kErrorMoreData);
}

TEST_F(RegistryContractTest, ValuesComeBackWithTheirTypeAndBytes) {
    const struct {
        const char* name;
        uint32_t type;
        std::string bytes;
    } values[] = {
        {"Text", kRegSz, std::string("(None) \"q\" \\\0", 13)},
        {"Lines", kRegSz, std::string("one\r\ntwo\0", 9)},
        {"Count", kRegDword, std::string("\xff\xff\xff\xff", 4)},
        {"Bytes", kRegBinary, std::string("\x01\x00\xff\x7a", 4)},
        {"Nothing", kRegBinary, std::string()},
        {"List", kRegMultiSz, std::string("a\0b\0\0", 5)},
        {"Odd", 0x1234, std::string("z")},
        {"", kRegSz, std::string("default\0", 8)},
    };
    for (const auto& value : values) {
        ASSERT_EQ(Set(value.name, value.type, value.bytes), kErrorSuccess) << value.name;
    }
    for (const auto& value : values) {
        uint32_t type = 0;
        EXPECT_EQ(Get(base_, value.name, &type), value.bytes) << value.name;
        EXPECT_EQ(type, value.type) << value.name;
    }
    // Writing again replaces type and size.
    ASSERT_EQ(Set("Count", kRegSz, std::string("long text\0", 10)), kErrorSuccess);
    uint32_t type = 0;
    EXPECT_EQ(Get(base_, "count", &type), std::string("long text\0", 10));
    EXPECT_EQ(type, kRegSz);
}

TEST_F(RegistryContractTest, QueryReportsSizesAndMissingValues) {
    ASSERT_EQ(Set("Six", kRegSz, std::string("hello\0", 6)), kErrorSuccess);
    uint32_t type = 0;
    uint32_t size = 0;
    EXPECT_EQ(reg_->QueryValue(base_, "Six", &type, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, kRegSz);

    uint8_t buffer[8] = {};
    size = 4;
    EXPECT_EQ(reg_->QueryValue(base_, "Six", &type, buffer, &size), kErrorMoreData);
    EXPECT_EQ(size, 6u);
    size = 6;
    EXPECT_EQ(reg_->QueryValue(base_, "Six", &type, buffer, &size), kErrorSuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 6), std::string("hello\0", 6));
    EXPECT_EQ(reg_->QueryValue(base_, "Six", &type, buffer, nullptr), kErrorInvalidParameter);

    size = sizeof buffer;
    EXPECT_EQ(reg_->QueryValue(base_, "Absent", &type, buffer, &size), kErrorFileNotFound);
    EXPECT_EQ(reg_->DeleteValue(base_, "Absent"), kErrorFileNotFound);
}

TEST_F(RegistryContractTest, ValueNamesIgnoreCaseAndDeletionRemoves) {
    ASSERT_EQ(Set("MixedCase", kRegSz, std::string("1\0", 2)), kErrorSuccess);
    ASSERT_EQ(Set("MIXEDCASE", kRegSz, std::string("2\0", 2)), kErrorSuccess);
    EXPECT_EQ(Get(base_, "mixedcase"), std::string("2\0", 2));
    EXPECT_EQ(reg_->DeleteValue(base_, "mixedCASE"), kErrorSuccess);
    uint32_t size = 0;
    EXPECT_EQ(reg_->QueryValue(base_, "MixedCase", nullptr, nullptr, &size), kErrorFileNotFound);
    EXPECT_EQ(reg_->DeleteValue(base_, "MixedCase"), kErrorFileNotFound);
}

TEST_F(RegistryContractTest, KeysAndValuesAreListedByNameAsWritten) {
    RegKey sub = 0;
    for (const char* name : {"Beta", "alpha"}) {
        ASSERT_EQ(reg_->CreateKey(base_, name, &sub), kErrorSuccess);
        EXPECT_EQ(reg_->CloseKey(sub), kErrorSuccess);
    }
    ASSERT_EQ(Set("Second", kRegDword, std::string(4, '\0')), kErrorSuccess);
    ASSERT_EQ(Set("", kRegSz, std::string("d\0", 2)), kErrorSuccess);
    // Windows lists values in no promised order and keys sorted; the
    // listing is compared as a set, and past the end comes 259.
    auto list = [this](bool keys) {
        std::vector<std::string> names;
        std::string name;
        uint32_t index = 0;
        platform::Win32Error rc = 0;
        while ((rc = keys ? reg_->EnumKey(base_, index, &name)
                          : reg_->EnumValue(base_, index, &name)) == kErrorSuccess) {
            names.push_back(name);
            ++index;
        }
        EXPECT_EQ(rc, kErrorNoMoreItems);
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(list(true), (std::vector<std::string>{"Beta", "alpha"}));
    EXPECT_EQ(list(false), (std::vector<std::string>{"", "Second"}));
    std::string name;
    EXPECT_EQ(reg_->EnumKey(0x7ff0, 0, &name), kErrorInvalidHandle);
}

// Names and text beyond any ANSI code page go in and come back whole, and
// are found ignoring the case of every script.
TEST_F(RegistryContractTest, NamesAndTextBeyondTheCodePageKeepEveryCharacter) {
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";
    const std::string eleni = "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7";
    const std::string eleniUpper = "\xCE\x95\xCE\x9B\xCE\x88\xCE\x9D\xCE\x97";
    const std::string text = eleni + " \xC5\x81ukasz " + tokyo + std::string(1, '\0');
    RegKey made = 0;
    ASSERT_EQ(reg_->CreateKey(base_, tokyo + "\\" + eleni, &made), kErrorSuccess);
    ASSERT_EQ(Set(made, tokyo + "\\" + eleni, "\xC5\x81ukasz", kRegSz, text), kErrorSuccess);
    EXPECT_EQ(reg_->CloseKey(made), kErrorSuccess);
    RegKey opened = 0;
    ASSERT_EQ(reg_->OpenKey(base_, tokyo + "\\" + eleniUpper, &opened), kErrorSuccess);
    uint32_t type = 0;
    EXPECT_EQ(Get(opened, "\xC5\x81UKASZ", &type), text);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(reg_->CloseKey(opened), kErrorSuccess);
    std::string name;
    EXPECT_EQ(reg_->EnumKey(base_, 0, &name), kErrorSuccess);
    EXPECT_EQ(name, tokyo);
}

TEST_F(RegistryContractTest, ClosedAndUnknownHandlesAreInvalid) {
    RegKey key = 0;
    ASSERT_EQ(reg_->CreateKey(base_, "Closing", &key), kErrorSuccess);
    for (RegKey root : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers}) {
        EXPECT_NE(key, root);
    }
    EXPECT_EQ(reg_->CloseKey(key), kErrorSuccess);
    EXPECT_EQ(reg_->CloseKey(key), kErrorInvalidHandle);
    EXPECT_EQ(reg_->SetValue(key, "X", kRegBinary, nullptr, 0), kErrorInvalidHandle);
    EXPECT_EQ(reg_->CloseKey(0x7ff0), kErrorInvalidHandle);
    // The predefined keys can always be closed and stay usable.
    EXPECT_EQ(reg_->CloseKey(kHkeyCurrentUser), kErrorSuccess);
    RegKey again = 0;
    EXPECT_EQ(reg_->OpenKey(kHkeyCurrentUser, basePath_, &again), kErrorSuccess);
    EXPECT_EQ(reg_->CloseKey(again), kErrorSuccess);
}

TEST_F(RegistryContractTest, HiveLoadNeedsTheFileAndThePrivilege) {
    const std::string name = "TarnwickHive" + RunId();
    EXPECT_EQ(reg_->LoadKey(name, At("missing.dat")), kErrorFileNotFound);

    WriteFile(At("hive.dat"), "REGEDIT4\n\n[HKEY_USERS\\anyone\\Software]\n\"Was\"=\"here\"\n");
    const platform::Win32Error rc = reg_->LoadKey(name, At("hive.dat"));
    if (!IsStandin()) {
        // The process holds no backup/restore privilege and asks for none.
        EXPECT_EQ(rc, kErrorPrivilegeNotHeld);
        return;
    }
    ASSERT_EQ(rc, kErrorSuccess);
    RegKey key = 0;
    ASSERT_EQ(reg_->OpenKey(kHkeyUsers, name + "\\software", &key), kErrorSuccess);
    EXPECT_EQ(Get(key, "Was"), std::string("here\0", 5));
    EXPECT_EQ(reg_->CloseKey(key), kErrorSuccess);
}

}  // namespace
