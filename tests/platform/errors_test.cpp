#include "platform/errors.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using platform::Win32Error;

TEST(Win32ErrorTest, ACodeIsASuccessOnlyWhenZeroAndComparesWithPlainCodes) {
    const struct {
        Win32Error error;
        uint32_t code;
        bool ok;
    } cases[] = {
        {Win32Error(), 0, true},
        {0u, 0, true},
        {platform::kErrorAccessDenied, 5, false},
        {platform::kErrorNoMoreItems, 259, false},
        {0xFFFFFFFFu, 0xFFFFFFFFu, false},  // every bit of the code is kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.error.code(), c.code);
        EXPECT_EQ(c.error.ok(), c.ok);
        EXPECT_EQ(static_cast<bool>(c.error), !c.ok);  // true for a failure
        EXPECT_TRUE(c.error == c.code && c.code == c.error);
        EXPECT_FALSE(c.error != c.code || c.code != c.error);
        EXPECT_TRUE(c.error != c.code + 1 && c.code + 1 != c.error);
        std::ostringstream shown;
        shown << c.error;
        EXPECT_EQ(shown.str(), std::to_string(c.code));
    }
}

}  // namespace
