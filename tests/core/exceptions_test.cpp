#include "core/exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(ThrowIfFailedTest, RaisesTheKindAskedForOnlyForAFailure) {
    // A success passes, and the message of a failure is made only then.
    int made = 0;
    auto message = [&made](uint32_t code) {
        ++made;
        return "failed (error " + std::to_string(code) + ")";
    };
    EXPECT_NO_THROW(core::ThrowIfFailed(platform::kErrorSuccess, message));
    EXPECT_NO_THROW(core::ThrowIfFailed<core::EFOpenError>(0u, "Cannot open file x"));
    EXPECT_EQ(made, 0);

    try {
        core::ThrowIfFailed<core::ERegistryException>(platform::kErrorAccessDenied, message);
        ADD_FAILURE() << "nothing raised";
    } catch (const core::ERegistryException& e) {
        EXPECT_EQ(e.Message(), "failed (error 5)");
    }
    try {
        core::ThrowIfFailed<core::EFOpenError>(platform::kErrorFileNotFound, "Cannot open file x");
        ADD_FAILURE() << "nothing raised";
    } catch (const core::EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file x");
    }
    EXPECT_THROW(core::ThrowIfFailed(platform::kErrorNoMoreItems, "m"), core::Exception);
    // A pattern and its argument are put together only for a failure.
    EXPECT_NO_THROW(core::ThrowIfFailed(0u, "Unable to write to %s", "x.ini"));
    try {
        core::ThrowIfFailed<core::EFOpenError>(platform::kErrorAccessDenied, "Cannot open file %s",
                                               "C:\\x");
        ADD_FAILURE() << "nothing raised";
    } catch (const core::EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file C:\\x");
    }
    EXPECT_EQ(made, 1);
}

}  // namespace
