// Text written for a reader that is not a console (a file here) arrives as
// its bytes, on the stand-in and on Windows alike (the same tests run under
// Wine), after whatever the stream already held.
#include "platform/console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/errors.h"

namespace {

struct CloseStream {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, CloseStream>;

std::string ReadBack(std::FILE* stream) {
    std::rewind(stream);
    std::string bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stream)) > 0;) {
        bytes.append(buffer, n);
    }
    return bytes;
}

TEST(ConsoleTest, TextForAFileArrivesAsItsBytesAfterWhatTheStreamHeld) {
    const struct {
        const char* what;
        std::string before;  // put in the stream's buffer first
        std::string text;
    } cases[] = {
        {"names beyond the ANSI code page, in UTF-8", "",
         "\xC5\x81ukasz \xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7 \xE6\x9D\xB1\xE4\xBA\xAC\n"},
        {"after text the stream still held", "held ", "then this"},
        {"a NUL and what follows it", "", std::string("a\0b", 3)},
        {"nothing", "x", ""},
        {"a long text, whole", "", std::string(100000, 'y')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Stream file(std::tmpfile());
        ASSERT_TRUE(file);
        std::fputs(c.before.c_str(), file.get());
        EXPECT_EQ(platform::WriteText(file.get(), c.text), platform::kErrorSuccess);
        EXPECT_EQ(ReadBack(file.get()), c.before + c.text);
    }
}

TEST(ConsoleTest, AStreamThatCannotBeWrittenGivesAnError) {
    const std::string path = testing::TempDir() + "console_test_read_only.txt";
    {
        const Stream created(std::fopen(path.c_str(), "wb"));
        ASSERT_TRUE(created);
    }
    {
        const Stream readOnly(std::fopen(path.c_str(), "rb"));
        ASSERT_TRUE(readOnly);
        EXPECT_NE(platform::WriteText(readOnly.get(), "text"), platform::kErrorSuccess);
    }
    std::remove(path.c_str());
}

}  // namespace
