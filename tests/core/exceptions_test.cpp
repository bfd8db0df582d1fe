#include "core/exceptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using core::ExceptionKind;

// Each member of the family carries its own kind, named as its class.
TEST(ExceptionKindTest, EachClassCarriesItsKindAndName) {
    const struct {
        std::function<void()> raise;
        ExceptionKind kind;
        const char* name;
    } cases[] = {
        {[] { throw core::Exception("m"); }, ExceptionKind::kException, "Exception"},
        {[] { throw core::ERegistryException("m"); }, ExceptionKind::kRegistry,
         "ERegistryException"},
        {[] { throw core::EConvertError("m"); }, ExceptionKind::kConvert, "EConvertError"},
        {[] { throw core::EFOpenError("m"); }, ExceptionKind::kFileOpen, "EFOpenError"},
        {[] { throw core::EStringListError("m"); }, ExceptionKind::kStringList, "EStringListError"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.raise();
            ADD_FAILURE() << "nothing raised";
        } catch (const core::Exception& e) {
            EXPECT_EQ(e.Kind(), c.kind);
            EXPECT_STREQ(core::KindName(e.Kind()), c.name);
            EXPECT_EQ(e.Message(), "m");
        }
    }
}

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
    EXPECT_EQ(made, 1);
}

}  // namespace
