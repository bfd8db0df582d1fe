// The Windows workstation of one run: the real registry and file system of
// the machine (a Wine prefix in the suite). Its identity is the machine's
// own. The program runs its script before its window appears, so the
// window is read and closed as soon as it is visible, or left to run until
// its button can be pressed.
#include <windows.h>

#include <chrono>
#include <iterator>
#include <sstream>

#include "support/win32/program_run.h"
#include "support/win32/windows_on_screen.h"
#include "workstation.h"

namespace differential {

namespace fs = std::filesystem;

namespace {

// The login window's controls: their identifiers are 100 + their place here.
const char* const kControls[] = {
    "NameLabel", "NameFLabel", "MachineLabel", "DateLabel", "lUName",      "lUFName", "lMName",
    "lDTstring", "NewsLabel",  "NewsOfTheDay", "mCodeList", "ErrorStatus", "Continue"};
constexpr int kFirstControlId = 100;
constexpr int kContinueId = 112;

using testsupport::WindowText;

void DeleteTree(HKEY root, const char* path) {
    ::RegDeleteTreeA(root, path);
    ::RegDeleteKeyA(root, path);
}

// The controls' texts, once the show handler has run (it has before the
// window is visible).
void ReadWindow(HWND window, RunResult* result) {
    for (int i = 0; i < static_cast<int>(std::size(kControls)); ++i) {
        result->window[kControls[i]] = WindowText(::GetDlgItem(window, kFirstControlId + i));
    }
    std::istringstream lines(result->window["mCodeList"]);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        result->diagnostics.push_back(line);
    }
}

class Win32Workstation : public Workstation {
  public:
    Win32Workstation() : platform_(platform::CreateNativePlatform()) {}

    bool IsStandin() const override { return false; }
    bool IsWine() const override { return testsupport::UnderWine(); }

    Identity identity() override {
        char user[256] = {};
        DWORD userSize = sizeof user;
        ::GetUserNameA(user, &userSize);
        char machine[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD machineSize = sizeof machine;
        ::GetComputerNameA(machine, &machineSize);
        return {user, machine, ""};
    }

    void Reset(const std::vector<std::string>& keys) override {
        for (const std::string& key : keys) {
            for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT}) {
                DeleteTree(root, key.c_str());
            }
        }
        DeleteTree(HKEY_CURRENT_USER, "Software\\TarnwickDiff");
        DeleteTree(HKEY_LOCAL_MACHINE, "Software\\TarnwickDiff");
        DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\TarnwickDiff");
        DeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\TarnwickDiff");
        DeleteTree(HKEY_CURRENT_USER, "Software\\Brackenlow\\Tarnwick\\Errors");
        std::error_code ec;
        fs::remove_all(HostPath("C:\\TarnwickDiff"), ec);
    }

    RunResult Run(const fs::path& program, const fs::path& share,
                  const RunOptions& options) override {
        RunResult result;
        if (options.unprivileged) {
            result.unsupported = "permissions cannot be taken away here";
            return result;
        }
        if (!testsupport::DisplayAvailable()) {
            result.unsupported = "no display to show the window on";
            return result;
        }
        // What the program writes to standard error (only a failure to
        // start does) is kept beside the share.
        testsupport::RunRequest request;
        request.start.program = program;
        request.start.directory = share;
        request.start.output = request.start.errors = share.string() + ".stderr.txt";
        request.limitMs = static_cast<DWORD>(
            std::chrono::duration_cast<std::chrono::milliseconds>(options.limit).count());
        // The window is read once; then closed, or left until its button
        // can be pressed.
        bool read = false;
        request.atWindow = [&](HWND window) {
            if (!read) {
                ReadWindow(window, &result);
                read = true;
            }
            if (!options.pressButton) {
                return ::PostMessageA(window, WM_CLOSE, 0, 0) != FALSE;
            }
            HWND button = ::GetDlgItem(window, kContinueId);
            return WindowText(button) == "Press to continue" &&
                   ::PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
        };
        const testsupport::ProgramRun run = testsupport::RunClosingLoginWindow(request);
        result.messageBox = run.messageBox;
        result.report += run.messageBoxes;
        if (run.startError != 0) {
            result.failure = "cannot start the program, error " + std::to_string(run.startError);
            result.messageBox = "[differential] " + result.failure;
        } else if (!run.ended) {
            result.failure = "the program did not end: it hangs";
        } else {
            result.ended = true;
            result.exitCode = run.exitCode;
        }
        return result;
    }

    platform::Services services() override { return platform_->services(); }

    fs::path HostPath(const std::string& windowsPath) override { return windowsPath; }

    bool MakeFifo(const fs::path&) override { return false; }

    std::optional<std::string> Drawn(const std::string& control, const std::string& text,
                                     const std::string&) override {
        if (control == "NewsOfTheDay") {
            return std::nullopt;
        }
        return text;
    }

    std::string DrawnLine(const std::string& line) override { return line; }

  private:
    std::unique_ptr<platform::NativePlatform> platform_;
};

}  // namespace

std::unique_ptr<Workstation> CreateWorkstation(const fs::path&, const Identity&) {
    return std::make_unique<Win32Workstation>();
}

}  // namespace differential
