// The atomic replacement every stand-in store writes through.
#include "platform/standin/state.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "support/test_platform.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;
using namespace platform::standin;

class ReplaceFileTest : public testsupport::PlatformTest {};

TEST_F(ReplaceFileTest, ALockedReplacementComesBackLockedAndAFailedOneLeavesNothing) {
    const fs::path dir = testPlatform().HostPath(Scratch());
    const fs::path target = dir / "store.reg";
    UniqueFd locked;
    Replacement how;
    how.mode = 0600;
    how.locked = &locked;
    ASSERT_EQ(ReplaceFileAtomically(target, "old", how), kErrorSuccess);
    ASSERT_EQ(ReplaceFileAtomically(target, "data", how), kErrorSuccess);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    char buffer[8] = {};
    EXPECT_EQ(::pread(locked.get(), buffer, sizeof buffer, 0), 4);
    EXPECT_STREQ(buffer, "data");

    const UniqueFd other(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_NE(::flock(other.get(), LOCK_EX | LOCK_NB), 0);
    UniqueFd moved = std::move(locked);
    moved.reset();  // closing it, once, lets the lock go
    EXPECT_EQ(::flock(other.get(), LOCK_EX | LOCK_NB), 0);

    // Refused: a missing folder, and a name that a folder holding files has.
    EXPECT_EQ(ReplaceFileAtomically(dir / "missing" / "x", "x"), kErrorFileNotFound);
    fs::create_directories(dir / "taken" / "inside");
    EXPECT_EQ(ReplaceFileAtomically(dir / "taken", "x"), kErrorAccessDenied);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"store.reg", "taken"}));  // no temporary file
}

}  // namespace
