// The whole program on the real window system: started from a login share
// in a temporary directory, its window found on the screen, measured and
// photographed, and closed through its button once the delay has passed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/program.h"
#include "support/win32/windows_on_screen.h"

namespace {

namespace fs = std::filesystem;

// The controls' identifiers: 100 + their place in the layout.
constexpr int kNewsLabelId = 108;
constexpr int kErrorStatusId = 111;
constexpr int kContinueId = 112;
constexpr int kUserNameId = 104;
constexpr int kFullNameId = 105;

std::string Text(HWND window) {
    return testsupport::WindowText(window);
}

using testsupport::FindWindowOf;

// A control's rectangle in its window's client coordinates.
RECT InClient(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The screen's pixels under a window's client area, 32 bits each.
class Screenshot {
  public:
    explicit Screenshot(HWND window) {
        RECT client{};
        ::GetClientRect(window, &client);
        POINT origin{0, 0};
        ::ClientToScreen(window, &origin);
        width_ = client.right;
        height_ = client.bottom;
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
        pixels_.assign(static_cast<const uint32_t*>(bits),
                       static_cast<const uint32_t*>(bits) + width_ * height_);
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
    }
    // The pixel as a COLORREF.
    COLORREF At(int x, int y) const {
        const uint32_t p = pixels_[static_cast<size_t>(y * width_ + x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

  private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};

// The X server's own view of a window, from xwininfo run as a Unix program
// (Wine starts those too): its "WxH" by its title, empty when not found.
// Wine cannot wait for a Unix process, so the output is polled for.
std::string XWindowSize(const std::string& title) {
    const char* tool = "/usr/bin/xwininfo";
    if (::GetFileAttributesA(tool) == INVALID_FILE_ATTRIBUTES) {
        return "no xwininfo";
    }
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path =
        std::string(temp) + "tarnwick-xwininfo-" + std::to_string(::GetCurrentProcessId()) + ".txt";
    testsupport::ProgramStart start;
    start.commandLine = std::string(tool) + " -root -tree";
    start.output = start.errors = path;
    testsupport::Program xwininfo(start);
    std::string size;
    if (xwininfo.startError().empty()) {
        xwininfo.Release();
        const std::string key = "\"" + title + "\":";
        for (int i = 0; i < 50 && size.empty(); ++i) {
            ::Sleep(100);
            std::ifstream in(path);
            std::string line;
            while (std::getline(in, line)) {
                const auto at = line.find(key);
                if (at == std::string::npos) {
                    continue;
                }
                const auto close = line.find(")", at);
                const auto plus = line.find('+', close);
                if (close != std::string::npos && plus != std::string::npos) {
                    size = line.substr(close + 3, plus - close - 3);
                }
            }
        }
    }
    ::DeleteFileA(path.c_str());
    return size;
}

class Win32ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testsupport::DisplayAvailable()) {
            GTEST_SKIP() << "no display to show the window on";
        }
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(MAX_PATH, temp);
        share_ = fs::path(temp) / ("tarnwick-e2e-" + std::to_string(::GetCurrentProcessId()));
        std::error_code ec;
        fs::remove_all(share_, ec);
        fs::create_directories(share_);
        programPath_ = share_ / "tarnwick.exe";
        ASSERT_TRUE(::CopyFileA(TARNWICK_PROGRAM, programPath_.string().c_str(), FALSE))
            << ::GetLastError();
    }
    void TearDown() override {
        program_.reset();
        std::error_code ec;
        fs::remove_all(share_, ec);
    }
    void Start() {
        testsupport::ProgramStart start;
        start.program = programPath_;
        start.directory = share_;
        program_ = std::make_unique<testsupport::Program>(start);
        ASSERT_EQ(program_->startError(), "");
    }
    // Waits until the program's window of `className` is visible.
    HWND WaitForWindow(const char* className, DWORD limitMs = 20000) {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < limitMs) {
            HWND window = FindWindowOf(ProcessId(), className);
            if (window && ::IsWindowVisible(window)) {
                return window;
            }
            if (program_->Wait(std::chrono::milliseconds(50))) {
                return nullptr;
            }
        }
        return nullptr;
    }
    bool Running(DWORD waitMs) { return !program_->Wait(std::chrono::milliseconds(waitMs)); }
    DWORD ExitCode() {
        return static_cast<DWORD>(program_->Wait(std::chrono::milliseconds(0)).value_or(0));
    }
    DWORD ProcessId() const { return static_cast<DWORD>(program_->id()); }

    fs::path share_, programPath_;
    std::unique_ptr<testsupport::Program> program_;
};

TEST_F(Win32ProgramTest, TheWindowIsOnTheScreenAtItsSizeAndClosesThroughItsButton) {
    // No settings file: the defaults, and the red warning. Fresh news: lime.
    std::ofstream(share_ / "NOTICE.RTF")
        << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Welcome\\par}";
    Start();
    HWND window = WaitForWindow("TarnwickLoginWindow");
    ASSERT_NE(window, nullptr) << "the login window did not appear";

    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    auto scale = [dpi](int pixels) { return ::MulDiv(pixels, dpi, 96); };

    EXPECT_EQ(Text(window), "Login Script");
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, scale(397));
    EXPECT_EQ(client.bottom, scale(362));
    RECT frame{};
    ::GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left,
              std::max(0L, (::GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2));
    EXPECT_EQ(frame.top,
              std::max(0L, (::GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2));

    // The X server shows it at that size: the client area when a window
    // manager draws the frame, the whole window when Wine draws it.
    const std::string xSize = XWindowSize("Login Script");
    if (xSize != "no xwininfo") {
        const std::string clientSize =
            std::to_string(client.right) + "x" + std::to_string(client.bottom);
        const std::string frameSize = std::to_string(frame.right - frame.left) + "x" +
                                      std::to_string(frame.bottom - frame.top);
        EXPECT_TRUE(xSize == clientSize || xSize == frameSize)
            << xSize << " is neither " << clientSize << " nor " << frameSize;
    }

    // The task bar shows the application title; the window its own caption.
    HWND application = FindWindowOf(ProcessId(), "TarnwickApplication");
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(Text(application), "Tarnwick Executor");
    EXPECT_EQ(::GetWindow(window, GW_OWNER), application);

    // The value labels end at 375; an empty one keeps one blank's width.
    const RECT user = InClient(::GetDlgItem(window, kUserNameId));
    EXPECT_EQ(user.right, scale(375));
    EXPECT_GT(user.right - user.left, scale(8));
    const RECT fullName = InClient(::GetDlgItem(window, kFullNameId));
    EXPECT_EQ(fullName.right, scale(375));
    EXPECT_LT(fullName.right - fullName.left, scale(10));
    EXPECT_EQ(Text(::GetDlgItem(window, kNewsLabelId)), "NEWS OF THE DAY");

    // What the screen shows: the lime heading and the red warning.
    ::Sleep(300);
    const Screenshot shot(window);
    EXPECT_EQ(shot.At(scale(22), scale(113)), RGB(0, 255, 0));
    EXPECT_EQ(shot.At(scale(22), scale(301)), RGB(255, 0, 0));

    HWND button = ::GetDlgItem(window, kContinueId);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(Text(button).rfind("Tarnwick", 0), 0u);
    ::PostMessageA(button, BM_CLICK, 0, 0);  // before the tick: inert
    EXPECT_TRUE(Running(1000));

    const DWORD start = ::GetTickCount();
    while (Text(button) != "Press to continue" && ::GetTickCount() - start < 20000) {
        ::Sleep(100);
    }
    ASSERT_EQ(Text(button), "Press to continue");
    ::PostMessageA(button, BM_CLICK, 0, 0);
    ASSERT_FALSE(Running(10000)) << "the program did not end";
    EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
