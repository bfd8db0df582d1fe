// The registry key owner against a registry that notes its calls, and the
// one-call helpers on this build's platform (the stand-in natively, the
// real registry under Wine).
#include "platform/reg_key.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/refusing.h"
#include "support/test_platform.h"

namespace {

using namespace platform;
using Calls = std::vector<std::string>;

// Hands out keys 1, 2, ... (refusing the sub-key "refused") and notes each
// open and close in a log it may share with another one.
class NotingRegistry : public RefusingRegistry {
  public:
    NotingRegistry(std::string name, Calls* log) : name_(std::move(name)), log_(log) {}
    platform::Win32Error OpenKey(RegKey, const std::string& subKey, RegKey* result) override {
        if (subKey == "refused") {
            return kErrorAccessDenied;
        }
        *result = ++last_;
        log_->push_back(name_ + " open " + std::to_string(*result));
        return kErrorSuccess;
    }
    platform::Win32Error CloseKey(RegKey key) override {
        log_->push_back(name_ + " close " + std::to_string(key));
        return kErrorSuccess;
    }

  private:
    std::string name_;
    Calls* log_;
    RegKey last_ = 0;
};

UniqueRegKey Open(Registry& registry) {
    UniqueRegKey key;
    EXPECT_EQ(OpenRegKey(registry, kHkeyCurrentUser, "key", &key), kErrorSuccess);
    return key;
}

TEST(UniqueRegKeyTest, EachKeyIsClosedOnceInTheRegistryItCameFrom) {
    Calls log;
    NotingRegistry a("a", &log);
    NotingRegistry b("b", &log);
    {
        UniqueRegKey first = Open(a);
        UniqueRegKey key(std::move(first));
        EXPECT_FALSE(first);
        UniqueRegKey other = Open(b);
        other = std::move(key);  // closes b's key at once
        UniqueRegKey& same = other;
        other = std::move(same);
        EXPECT_EQ(other.registry(), &a);
        EXPECT_EQ(Open(a).release(), 2u);
        UniqueRegKey root(a, kHkeyUsers);  // a predefined key is never closed
        log.push_back("refusals");
        EXPECT_EQ(OpenRegKey(b, kHkeyCurrentUser, "refused", &other), kErrorAccessDenied);
        EXPECT_EQ(CreateRegKey(b, kHkeyCurrentUser, "refused", &other), kErrorAccessDenied);
        EXPECT_EQ(other.get(), 1u);
        log.push_back("reopened");  // the new key opens before the old one closes
        EXPECT_EQ(OpenRegKey(b, kHkeyCurrentUser, "key", &other), kErrorSuccess);
        EXPECT_EQ(a.OpenKey(kHkeyCurrentUser, "key", other.put(a)), 0u);
        other.reset();
        other.reset();
        log.push_back("end");
    }
    EXPECT_EQ(log, (Calls{"a open 1", "b open 1", "b close 1", "a open 2", "refusals", "reopened",
                          "b open 2", "a close 1", "b close 2", "a open 3", "a close 3", "end"}));
}

class RegHelpersTest : public testsupport::PlatformTest {};

TEST_F(RegHelpersTest, WritersAndReadersAgreeOnTypesAndBytes) {
    Registry& reg = Current().registry();
    // Every value is written before it is read and deleted at the end, so
    // a run may follow another on the same registry.
    const std::string base = "Software\\TarnwickTest\\RegHelpers";
    const std::string sub = base + "\\Made\\On\\The\\Way";
    // Each writer creates the keys on the way.
    ASSERT_EQ(WriteRegString(reg, kHkeyCurrentUser, sub, "S", "text"), kErrorSuccess);
    ASSERT_EQ(WriteRegDword(reg, kHkeyCurrentUser, sub, "D", 0x01020304), kErrorSuccess);
    ASSERT_EQ(WriteRegValue(reg, kHkeyCurrentUser, sub, "Short", kRegDword, "\x01\x02"),
              kErrorSuccess);
    ASSERT_EQ(WriteRegValue(reg, kHkeyCurrentUser, sub, "Empty", kRegBinary, ""), kErrorSuccess);
    const struct {
        const char* name;
        uint32_t valueRc, type;
        std::string bytes;
        uint32_t stringRc;
        std::string text;
        uint32_t dwordRc, number;
    } cases[] = {
        {"s", 0, kRegSz, std::string("text\0", 5), 0, "text", kErrorUnsupportedType, 0},
        {"D", 0, kRegDword, "\x04\x03\x02\x01", kErrorUnsupportedType, "", 0, 0x01020304},
        {"Short", 0, kRegDword, "\x01\x02", kErrorUnsupportedType, "", kErrorDatatypeMismatch, 0},
        {"Empty", 0, kRegBinary, "", kErrorUnsupportedType, "", kErrorUnsupportedType, 0},
        {"Absent", kErrorFileNotFound, kRegNone, "", kErrorFileNotFound, "", kErrorFileNotFound, 0},
    };
    UniqueRegKey key;
    ASSERT_EQ(OpenRegKey(reg, kHkeyCurrentUser, sub, &key), kErrorSuccess);
    for (const auto& c : cases) {
        RegValue value;
        std::string text;
        uint32_t number = 0;
        EXPECT_EQ(ReadRegValue(reg, key.get(), c.name, &value), c.valueRc) << c.name;
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.data, c.bytes) << c.name;
        EXPECT_EQ(ReadRegString(reg, kHkeyCurrentUser, sub, c.name, &text), c.stringRc) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_EQ(ReadRegDword(reg, kHkeyCurrentUser, sub, c.name, &number), c.dwordRc) << c.name;
        EXPECT_EQ(number, c.number) << c.name;
        // The value is removed only to leave the key as the next case expects it.
        static_cast<void>(reg.DeleteValue(key.get(), c.name));
    }
    // A reader does not make the key it reads below.
    RegValue value;
    EXPECT_EQ(ReadRegValue(reg, kHkeyCurrentUser, base + "\\Missing", "S", &value),
              kErrorFileNotFound);
    EXPECT_EQ(OpenRegKey(reg, kHkeyCurrentUser, base + "\\Missing", &key), kErrorFileNotFound);
}

}  // namespace
