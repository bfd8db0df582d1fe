// The stand-in workstation: every platform service, living in one state
// directory.
#pragma once
#include <filesystem>
#include <memory>

#include "platform/platform.h"
#include "platform/standin/context.h"
#include "platform/standin/eventlog.h"
#include "platform/standin/files.h"
#include "platform/standin/network.h"
#include "platform/standin/profile.h"
#include "platform/standin/registry.h"
#include "platform/standin/system.h"
#include "platform/standin/toolkit.h"

namespace platform::standin {

class StandinPlatform : public NativePlatform {
  public:
    // Creates the state directory and drive C when they are missing.
    // `makeDriveC` false: a workstation only looked at, whose folders are
    // left as they are.
    explicit StandinPlatform(std::filesystem::path stateDir, bool makeDriveC = true);
    Services services() override;
    Context& context() { return context_; }

  private:
    Context context_;
    StandinFiles files_;
    StandinSystem system_;
    StandinRegistry registry_;
    StandinNetwork network_;
    StandinProfile profile_;
    StandinToolkit toolkit_;
    StandinEventLog eventLog_;
};

}  // namespace platform::standin
