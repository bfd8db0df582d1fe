#include "platform/standin/standin_platform.h"

#include "platform/standin/state.h"

namespace platform::standin {

namespace {
// A workstation always has drive C; one only looked at is left as it is.
std::filesystem::path Prepared(std::filesystem::path dir, bool makeDriveC) {
    if (makeDriveC) {
        std::error_code ec;
        std::filesystem::create_directories(dir / "drives" / "c", ec);
    }
    return dir;
}
}  // namespace

StandinPlatform::StandinPlatform(std::filesystem::path stateDir, bool makeDriveC)
    : context_(Prepared(std::move(stateDir), makeDriveC), /*inspect=*/!makeDriveC),
      files_(context_.paths),
      system_(context_.stateDir),
      registry_(context_),
      network_(context_),
      profile_(context_),
      toolkit_(ProcessToolkitOptions(context_.stateDir)),
      eventLog_(context_.stateDir, system_) {}

Services StandinPlatform::services() {
    return Services(registry_, network_, system_, files_, profile_, toolkit_, eventLog_);
}

}  // namespace platform::standin

namespace platform {

std::unique_ptr<NativePlatform> CreateNativePlatform(PlatformUse use) {
    return std::make_unique<standin::StandinPlatform>(standin::DefaultStateDir(),
                                                      use == PlatformUse::kLogon);
}

bool ChecksLookHereByDefault() {
    return true;
}

}  // namespace platform
