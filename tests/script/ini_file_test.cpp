#include "script/ini_file.h"

#include <gtest/gtest.h>

#include "support/test_platform.h"

namespace {

using script::TIniFile;

class IniFileTest : public testsupport::PlatformTest {};

TEST_F(IniFileTest, CreatingTouchesNoFileAndWritesGoToTheNamedFile) {
    TIniFile ini(services().profile(), At("APP.INI"));
    EXPECT_FALSE(Exists(At("APP.INI")));
    ini.WriteString("Options", "Mode", "fast");
    ini.WriteString("Options", "Level", "2");
    EXPECT_EQ(ReadFile(At("APP.INI")), "[Options]\r\nMode=fast\r\nLevel=2\r\n");
}

TEST_F(IniFileTest, RefusedWriteRaisesWithTheFileName) {
    TIniFile ini(services().profile(), At("NODIR\\APP.INI"));
    try {
        ini.WriteString("S", "K", "V");
        FAIL() << "no failure raised";
    } catch (const script::EIniFileException& failure) {
        EXPECT_EQ(failure.Message(), "Unable to write to " + At("NODIR\\APP.INI"));
    }
}

}  // namespace
