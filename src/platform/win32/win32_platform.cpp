#include "platform/platform.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/eventlog.h"
#include "platform/win32/files.h"
#include "platform/win32/network.h"
#include "platform/win32/profile.h"
#include "platform/win32/registry.h"
#include "platform/win32/system.h"
#include "platform/win32/toolkit.h"

namespace platform {

namespace {

class Win32Platform : public NativePlatform {
  public:
    Services services() override {
        return Services(registry_, network_, system_, files_, profile_, toolkit_, eventLog_);
    }

  private:
    win32::Win32Files files_;
    win32::Win32System system_;
    win32::Win32Registry registry_;
    win32::Win32Network network_;
    win32::Win32Profile profile_;
    win32::Win32Toolkit toolkit_;
    win32::Win32EventLog eventLog_;
};

}  // namespace

std::unique_ptr<NativePlatform> CreateNativePlatform(PlatformUse) {
    // Before any service loads a DLL at run time: none may come from the
    // program's own folder or the current one.
    win32::SearchSystem32Only();
    return std::make_unique<Win32Platform>();
}

bool ChecksLookHereByDefault() {
    return false;
}

}  // namespace platform
