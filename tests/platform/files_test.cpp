// The file calls the system makes, pinned on the stand-in and on Windows
// alike (the same tests run under Wine).
#include "platform/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/errors.h"
#include "platform/platform.h"
#include "support/test_platform.h"

namespace {

namespace fs = std::filesystem;

class FilesTest : public testsupport::PlatformTest {
  protected:
    platform::Files& files() { return platform::Current().files(); }
    platform::Win32Error Copy(const std::string& from, const std::string& to) {
        return files().CopyFileW(from, to, false);
    }
    int EntriesInScratch() {
        int count = 0;
        for ([[maybe_unused]] const auto& entry :
             fs::directory_iterator(testPlatform().HostPath(Scratch()))) {
            ++count;
        }
        return count;
    }
};

TEST_F(FilesTest, CopyReplacesTheTargetFoundIgnoringCaseAndKeepsTheWriteTime) {
    WriteFile(At("Source.txt"), std::string("new\0\r\nbytes", 11));
    WriteFile(At("Data.TXT"), "old contents, longer than the new");
    const fs::path host(testPlatform().HostPath(At("Source.txt")));
    fs::last_write_time(host, fs::last_write_time(host) - std::chrono::hours(24 * 400));

    ASSERT_EQ(Copy(At("SOURCE.TXT"), At("data.txt")), platform::kErrorSuccess);
    EXPECT_EQ(ReadFile(At("Data.TXT")), std::string("new\0\r\nbytes", 11));
    EXPECT_EQ(EntriesInScratch(), 2);
    platform::FileTime source, copy;
    ASSERT_EQ(files().GetLastWriteTime(At("Source.txt"), &source), 0u);
    ASSERT_EQ(files().GetLastWriteTime(At("Data.TXT"), &copy), 0u);
    EXPECT_EQ(std::make_tuple(copy.year, copy.month, copy.day, copy.hour, copy.minute),
              std::make_tuple(source.year, source.month, source.day, source.hour, source.minute));
    EXPECT_EQ(files().CopyFileW(At("Source.txt"), At("Data.TXT"), true),
              platform::kErrorFileExists);
}

TEST_F(FilesTest, CopyFailuresGiveTheWindowsCodes) {
    WriteFile(At("src.txt"), "SRC");
    MakeDir(At("dir"));
    EXPECT_EQ(Copy(At("missing.txt"), At("a.txt")), platform::kErrorFileNotFound);
    EXPECT_EQ(Copy(At("nodir\\missing.txt"), At("a.txt")), platform::kErrorPathNotFound);
    EXPECT_EQ(Copy(At("src.txt"), At("nodir\\a.txt")), platform::kErrorPathNotFound);
    EXPECT_EQ(Copy(At("src.txt"), At("dir")), platform::kErrorAccessDenied);
    EXPECT_EQ(Copy(At("dir"), At("a.txt")), platform::kErrorAccessDenied);
    EXPECT_EQ(Copy(At("src.txt"), At("a.txt\\")), platform::kErrorInvalidName);
    EXPECT_EQ(Copy(At("src.txt"), ""), platform::kErrorPathNotFound);
    EXPECT_EQ(Copy("", At("a.txt")), platform::kErrorPathNotFound);
    // Onto itself: the source stays whole.
    EXPECT_EQ(Copy(At("src.txt"), At("SRC.TXT")), platform::kErrorSharingViolation);
    EXPECT_EQ(ReadFile(At("src.txt")), "SRC");
    EXPECT_EQ(EntriesInScratch(), 2);
}

TEST_F(FilesTest, FindFirstTellsFilesFromDirectories) {
    WriteFile(At("Data.txt"), "x");
    MakeDir(At("Sub"));
    bool isDirectory = true;
    EXPECT_EQ(files().FindFirst(At("DATA.TXT"), &isDirectory), 0u);
    EXPECT_FALSE(isDirectory);
    EXPECT_EQ(files().FindFirst(At("sub"), &isDirectory), 0u);
    EXPECT_TRUE(isDirectory);
    EXPECT_EQ(files().FindFirst(At("*.TXT"), &isDirectory), 0u);
    EXPECT_FALSE(isDirectory);
    EXPECT_EQ(files().FindFirst(At("d?ta.*"), &isDirectory), 0u);
    EXPECT_EQ(files().FindFirst(At("missing"), &isDirectory), platform::kErrorFileNotFound);
    EXPECT_EQ(files().FindFirst(At("Sub\\"), &isDirectory), platform::kErrorFileNotFound);
    EXPECT_EQ(files().FindFirst(At("[D]ata.txt"), &isDirectory), platform::kErrorFileNotFound);
    EXPECT_EQ(files().FindFirst(At("*.none"), &isDirectory), platform::kErrorFileNotFound);
    EXPECT_EQ(files().FindFirst("", &isDirectory), platform::kErrorPathNotFound);
}

TEST_F(FilesTest, AttributesCarryTheDirectoryFlagOnlyForDirectories) {
    WriteFile(At("file.txt"), "x");
    MakeDir(At("dir"));
    const auto dir = files().GetFileAttributesW(At("DIR"));
    ASSERT_NE(dir, platform::kInvalidFileAttributes);
    EXPECT_NE(dir & platform::kFileAttributeDirectory, 0u);
    EXPECT_NE(files().GetFileAttributesW(At("dir\\")) & platform::kFileAttributeDirectory, 0u);
    const auto file = files().GetFileAttributesW(At("FILE.TXT"));
    ASSERT_NE(file, platform::kInvalidFileAttributes);
    EXPECT_EQ(file & platform::kFileAttributeDirectory, 0u);
    EXPECT_EQ(files().GetFileAttributesW(At("file.txt\\")), platform::kInvalidFileAttributes);
    EXPECT_EQ(files().GetFileAttributesW(At("missing")), platform::kInvalidFileAttributes);
    EXPECT_EQ(files().GetFileAttributesW(""), platform::kInvalidFileAttributes);
}

TEST_F(FilesTest, CreateDirectoryMakesOneLevel) {
    WriteFile(At("file.txt"), "x");
    EXPECT_EQ(files().CreateDirectoryW(At("new")), 0u);
    EXPECT_EQ(files().CreateDirectoryW(At("trail\\")), 0u);
    EXPECT_TRUE(Exists(At("trail")));
    EXPECT_EQ(files().CreateDirectoryW(At("NEW")), platform::kErrorAlreadyExists);
    EXPECT_EQ(files().CreateDirectoryW(At("file.txt")), platform::kErrorAlreadyExists);
    EXPECT_EQ(files().CreateDirectoryW(At("no\\deeper")), platform::kErrorPathNotFound);
    EXPECT_EQ(files().CreateDirectoryW(""), platform::kErrorPathNotFound);
    EXPECT_FALSE(Exists(At("no")));
}

// Files and folders of any name: made, found ignoring case, copied.
TEST_F(FilesTest, NamesBeyondTheCodePageAreMadeAndFoundIgnoringCase) {
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";
    WriteFile(At("\xC5\x81ukasz.txt"), "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7");
    EXPECT_EQ(files().CreateDirectoryW(At(tokyo)), 0u);
    EXPECT_EQ(files().GetFileAttributesW(At(tokyo)) & platform::kFileAttributeDirectory,
              platform::kFileAttributeDirectory);
    ASSERT_EQ(
        Copy(At("\xC5\x82UKASZ.TXT"), At(tokyo + "\\\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7.txt")),
        platform::kErrorSuccess);
    std::string copied;
    EXPECT_EQ(files().ReadWholeFile(At(tokyo + "\\\xCE\x95\xCE\x9B\xCE\x88\xCE\x9D\xCE\x97.TXT"),
                                    &copied),
              platform::kErrorSuccess);
    EXPECT_EQ(copied, "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7");
}

// No Windows name holds a control character or one of < > " | ? *: nothing
// of such a name is made, neither by a copy nor as a folder.
TEST_F(FilesTest, NamesWithCharactersWindowsForbidsAreNeverMade) {
    WriteFile(At("source.txt"), "x");
    for (const std::string name :
         {"ctl\x01x", "tab\tx", "q\"x", "lt<x", "gt>x", "bar|x", "ask?x", "star*x"}) {
        EXPECT_EQ(files().CreateDirectoryW(At(name)), platform::kErrorInvalidName) << name;
        EXPECT_EQ(Copy(At("source.txt"), At(name)), platform::kErrorInvalidName) << name;
    }
    EXPECT_EQ(EntriesInScratch(), 1);
}

TEST_F(FilesTest, ReadWholeFileGivesEveryByte) {
    const std::string bytes("a\r\nb\nc\rd\0e\xff", 11);
    WriteFile(At("bytes.bin"), bytes);
    MakeDir(At("dir"));
    std::string contents;
    ASSERT_EQ(files().ReadWholeFile(At("BYTES.BIN"), &contents), 0u);
    EXPECT_EQ(contents, bytes);
    EXPECT_EQ(files().ReadWholeFile(At("missing"), &contents), platform::kErrorFileNotFound);
    EXPECT_EQ(files().ReadWholeFile(At("dir"), &contents), platform::kErrorAccessDenied);
}

}  // namespace

// A file call cannot make a share: a folder or a file named at the level of
// a server, or inside a share that the server does not have, fails with the
// network's codes (ERROR_BAD_NETPATH for an unknown server,
// ERROR_BAD_NET_NAME for a missing share, ERROR_BAD_PATHNAME for a server
// without a share), and leaves no share behind; a share that exists takes
// files and folders. Wine has no network: there only the unknown server can
// be tried, and Wine 8 answers it with ERROR_PATH_NOT_FOUND where Windows
// gives ERROR_BAD_NETPATH (see PathResolver::Locate for the references).
TEST_F(FilesTest, OnlySharesThatExistTakeFilesAndFolders) {
    const std::string server = "\\\\TARNWICK-SRV", missing = "\\\\TARNWICK-NOSUCH";
    if (IsStandin()) {
        fs::create_directories(testPlatform().HostPath(server + "\\Share"));
    }
    WriteFile(At("src.txt"), "x");
    enum Call { kMakeFolder, kCopyTo, kCopyFrom };
    struct Case {
        Call call;
        std::string path;
        uint32_t windows;
        bool needsServer;
    };
    const Case cases[] = {
        {kMakeFolder, server + "\\NoShare\\x", platform::kErrorBadNetName, true},
        {kMakeFolder, server + "\\New", platform::kErrorBadNetName, true},
        {kMakeFolder, server + "\\New\\", platform::kErrorBadNetName, true},
        {kMakeFolder, server, platform::kErrorBadPathname, true},
        {kCopyTo, server + "\\New", platform::kErrorBadNetName, true},
        {kCopyTo, server + "\\NoShare\\x.txt", platform::kErrorBadNetName, true},
        {kCopyFrom, server + "\\NoShare\\x.txt", platform::kErrorBadNetName, true},
        {kMakeFolder, server + "\\SHARE\\made", platform::kErrorSuccess, true},
        {kCopyTo, server + "\\share\\copy.txt", platform::kErrorSuccess, true},
        {kMakeFolder, missing + "\\Share\\x", platform::kErrorBadNetPath, false},
        {kMakeFolder, missing + "\\Share", platform::kErrorBadNetPath, false},
        {kCopyTo, missing + "\\New", platform::kErrorBadNetPath, false},
    };
    for (const Case& c : cases) {
        if (c.needsServer && !IsStandin()) {
            continue;
        }
        platform::Win32Error rc = 0;
        switch (c.call) {
            case kMakeFolder:
                rc = files().CreateDirectoryW(c.path);
                break;
            case kCopyTo:
                rc = Copy(At("src.txt"), c.path);
                break;
            case kCopyFrom:
                rc = Copy(c.path, At("copy.txt"));
                break;
        }
        EXPECT_EQ(rc, IsStandin() ? c.windows : platform::kErrorPathNotFound)
            << c.call << " " << c.path;
    }
    if (IsStandin()) {
        EXPECT_TRUE(Exists(server + "\\Share\\Made"));
        EXPECT_EQ(ReadFile(server + "\\Share\\Copy.txt"), "x");
        int shares = 0;
        for ([[maybe_unused]] const auto& entry :
             fs::directory_iterator(testPlatform().HostPath(server + "\\Share") + "/..")) {
            ++shares;
        }
        EXPECT_EQ(shares, 1);
    }
}
