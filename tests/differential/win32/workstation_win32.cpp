// The Windows workstation of one run: the real registry and file system of
// the machine (a Wine prefix in the suite). Its identity is the machine's
// own. The program runs its script before its window appears, so the
// window is closed as soon as it is visible.
#include <windows.h>

#include "support/win32/program_run.h"
#include "workstation.h"

namespace differential {

namespace fs = std::filesystem;

namespace {

void DeleteTree(HKEY root, const char* path) {
    ::RegDeleteTreeA(root, path);
    ::RegDeleteKeyA(root, path);
}

class Win32Workstation : public Workstation {
  public:
    Win32Workstation() : platform_(platform::CreateNativePlatform()) {}

    Identity identity() override {
        char user[256] = {};
        DWORD userSize = sizeof user;
        ::GetUserNameA(user, &userSize);
        char machine[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD machineSize = sizeof machine;
        ::GetComputerNameA(machine, &machineSize);
        return {user, machine};
    }

    void Reset() override {
        DeleteTree(HKEY_CURRENT_USER, "Software\\TarnwickDiff");
        DeleteTree(HKEY_LOCAL_MACHINE, "Software\\TarnwickDiff");
        DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\TarnwickDiff");
        DeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\TarnwickDiff");
        DeleteTree(HKEY_CURRENT_USER, "Software\\Brackenlow\\Tarnwick\\Errors");
        std::error_code ec;
        fs::remove_all(HostPath("C:\\TarnwickDiff"), ec);
    }

    RunResult Run(const fs::path& program, const fs::path& share) override {
        RunResult result;
        // What the program writes to standard error (only a failure to
        // start does) is kept beside the share.
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const std::string errors = share.string() + ".stderr.txt";
        const testsupport::OwnedHandle errorFile{::CreateFileA(
            errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr)};
        const std::string path = program.string();
        const std::string directory = share.string();
        const testsupport::ProgramRun run = testsupport::RunClosingLoginWindow(
            {path.c_str(), "\"" + path + "\"", directory.c_str(), errorFile.value});
        if (run.startError != 0) {
            result.messageBox =
                "[differential] cannot start the program, error " + std::to_string(run.startError);
            return result;
        }
        result.ended = run.ended;
        result.exitCode = run.exitCode;
        result.messageBox = run.messageBox;
        return result;
    }

    platform::Services services() override { return platform_->services(); }

    fs::path HostPath(const std::string& windowsPath) override { return windowsPath; }

  private:
    std::unique_ptr<platform::NativePlatform> platform_;
};

}  // namespace

std::unique_ptr<Workstation> CreateWorkstation(const fs::path&, const Identity&) {
    return std::make_unique<Win32Workstation>();
}

}  // namespace differential
