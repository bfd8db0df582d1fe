#include "core/convert.h"

#include <gtest/gtest.h>

#include "core/exceptions.h"

namespace {

using core::StrToInt;

TEST(StrToIntTest, DecimalAndHexFormsUpToTheir32BitLimits) {
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("   42"), 42);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("-1"), -1);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("000000000000000000012"), 12);
    EXPECT_EQ(StrToInt("$10"), 16);
    EXPECT_EQ(StrToInt("$aBcD"), 0xABCD);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);  // the bit pattern as it stands
    EXPECT_EQ(StrToInt("$80000000"), INT32_MIN);
    EXPECT_EQ(StrToInt("$0000000000FFFFFFFF"), -1);
}

TEST(StrToIntTest, EverythingElseIsRefusedNamingTheText) {
    for (const char* text : {"",           "   ",        "+",           "-",
                             "$",          "-$1",        "+$1",         "$-1",
                             "1 ",         " 1 ",        "\t1",         "1x",
                             "0x10",       "2147483648", "-2147483649", "99999999999999999999",
                             "$100000000", "$FFFFFFFFF", "$G",          "1.0",
                             "--1"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const core::EConvertError& error) {
            EXPECT_EQ(error.Message(), std::string("'") + text + "' is not a valid integer value");
        }
    }
}

}  // namespace
