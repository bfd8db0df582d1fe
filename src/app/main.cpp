// Entry point. Until the login window exists this shows what the program
// already knows at start-up: its settings file and the expanded macros.
#include <cstdio>

#include "core/exceptions.h"
#include "core/exit_list.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/system.h"

int main() {
    auto native = platform::CreateNativePlatform();
    platform::Install(native->services());
    logon::InitSettingsModule();
    int exitCode = 0;
    try {
        const std::string configFile =
            logon::ConfigFileNameFor(platform::Current().system->ModulePath());
        if (!logon::LoadConfig(configFile)) {
            std::printf("Failed to load %s\n", configFile.c_str());
        }
        logon::ExpandMacros(*logon::MacroList);
        std::printf("---- CONFIG FILE ----\n");
        for (const auto& line : logon::ConfigList->Lines()) {
            std::printf("%s\n", line.c_str());
        }
        std::printf("---- MACROS FILE ----\n");
        for (const auto& line : logon::MacroList->Lines()) {
            std::printf("%s\n", line.c_str());
        }
        std::printf("(the script run and the login window are not built yet)\n");
    } catch (const core::Exception& e) {
        std::fprintf(stderr, "[Application Error] %s\n", e.what());
        exitCode = 1;
    }
    core::RunExitProcs();
    return exitCode;
}
