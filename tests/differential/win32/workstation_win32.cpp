// The Windows workstation of one run: the real registry and file system of
// the machine (a Wine prefix in the suite). Its identity is the machine's
// own. The program runs its script before its window appears, so the
// window is closed as soon as it is visible.
#include <windows.h>

#include <chrono>

#include "support/win32/windows_on_screen.h"
#include "workstation.h"

namespace differential {

namespace fs = std::filesystem;

namespace {

constexpr DWORD kRunLimitMs = 60000;
constexpr const char* kLoginWindowClass = "TarnwickLoginWindow";
constexpr const char* kDialogClass = "#32770";
constexpr int kMessageTextId = 0xFFFF;  // the static text of a message box

struct Handle {
    HANDLE value = nullptr;
    ~Handle() {
        if (value) {
            ::CloseHandle(value);
        }
    }
};

using testsupport::WindowText;

HWND VisibleWindowOf(DWORD process, const char* className) {
    return testsupport::FindWindowOf(process, className, /*visibleOnly=*/true);
}

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
        Handle errorFile{::CreateFileA(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                       CREATE_ALWAYS, 0, nullptr)};
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = errorFile.value;
        startup.hStdError = errorFile.value;
        PROCESS_INFORMATION info{};
        std::string command = "\"" + program.string() + "\"";
        if (!::CreateProcessA(program.string().c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                              nullptr, share.string().c_str(), &startup, &info)) {
            result.messageBox = "[differential] cannot start the program, error " +
                                std::to_string(::GetLastError());
            return result;
        }
        Handle process{info.hProcess};
        Handle thread{info.hThread};
        bool closing = false;
        const DWORD start = ::GetTickCount();
        while (::WaitForSingleObject(process.value, 20) == WAIT_TIMEOUT) {
            if (::GetTickCount() - start > kRunLimitMs) {
                ::TerminateProcess(process.value, 99);
                ::WaitForSingleObject(process.value, 5000);
                return result;
            }
            if (HWND box = VisibleWindowOf(info.dwProcessId, kDialogClass)) {
                result.messageBox =
                    "[" + WindowText(box) + "] " + WindowText(::GetDlgItem(box, kMessageTextId));
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                ::Sleep(100);
                continue;
            }
            if (!closing) {
                if (HWND window = VisibleWindowOf(info.dwProcessId, kLoginWindowClass)) {
                    ::PostMessageA(window, WM_CLOSE, 0, 0);
                    closing = true;
                }
            }
        }
        result.ended = true;
        ::GetExitCodeProcess(process.value, &result.exitCode);
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
