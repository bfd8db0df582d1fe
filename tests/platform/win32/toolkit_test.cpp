#include "platform/win32/toolkit.h"
#include "app/tarnwick_form.h"
#include "platform/win32/gdi_handles.h"
#include "platform/win32/wide.h"
#include "support/win32/windows_on_screen.h"

#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::Alignment;
using platform::ControlKind;
using platform::win32::Win32Toolkit;
using platform::win32::Win32Window;

enum : platform::ControlId { kLeft, kValue, kBanner, kNews, kList, kGo };

constexpr platform::Color kLime = platform::RgbColor(0, 255, 0);

platform::WindowSpec Spec(unsigned timerMs) {
    platform::WindowSpec spec;
    spec.caption = "Probe";
    spec.clientWidth = 200;
    spec.clientHeight = 120;
    spec.font = {"MS Sans Serif", 10, false};
    spec.timerIntervalMs = timerMs;
    auto add = [&](const char* name, ControlKind kind, int left, int top, int width, int height,
                   const char* text) {
        platform::ControlSpec control;
        control.name = name;
        control.kind = kind;
        control.left = left;
        control.top = top;
        control.width = width;
        control.height = height;
        control.text = text;
        control.font = {"Arial", 16, false};
        spec.controls.push_back(control);
        return &spec.controls.back();
    };
    add("Left", ControlKind::Label, 10, 5, 85, 18, "Login Name")->autoSize = true;
    auto* value = add("Value", ControlKind::Label, 171, 7, 4, 18, "");
    value->autoSize = true;
    value->alignment = Alignment::Right;
    value->background = platform::RgbColor(255, 255, 255);
    add("Banner", ControlKind::Label, 10, 28, 180, 16, "Banner")->alignment = Alignment::Center;
    add("News", ControlKind::RichEdit, 10, 48, 180, 40, "")->tabOrder = 0;
    auto* list = add("List", ControlKind::Memo, 10, 48, 180, 40, "");
    list->visible = false;
    list->tabOrder = 2;
    add("Go", ControlKind::Button, 10, 92, 180, 22, "Wait")->tabOrder = 1;
    return spec;
}

class Events : public platform::WindowEvents {
  public:
    void OnDoubleClick() override { log.push_back("double-click"); }
    void OnTimer() override {
        log.push_back("tick");
        if (onTimer) {
            onTimer();
        }
    }
    std::function<void()> onTimer;
    std::vector<std::string> log;
};

std::string Text(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

// A window's text as the W calls give it.
std::wstring WideText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    std::string text = name;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// A control's rectangle in its parent's client coordinates.
RECT InParent(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HFONT FontOf(HWND control) {
    return reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
}

void Pump(DWORD milliseconds) {
    const DWORD end = ::GetTickCount() + milliseconds;
    MSG message;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::Sleep(5);
    }
}

class Win32ToolkitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testsupport::DisplayAvailable()) {
            GTEST_SKIP() << "no display to create windows on";
        }
        toolkit_ = std::make_unique<Win32Toolkit>();
        ASSERT_EQ(toolkit_->SetApplicationTitle("Tarnwick Executor"), 0u);
    }
    void TearDown() override {
        holder_.reset();
        toolkit_.reset();
    }
    Win32Window& Create(unsigned timerMs = 0) {
        EXPECT_EQ(toolkit_->CreateMainWindow(Spec(timerMs), &events_, &holder_), 0u);
        return *dynamic_cast<Win32Window*>(holder_.get());
    }
    int Scale(int pixels) const {
        return ::MulDiv(pixels, dynamic_cast<Win32Window&>(*holder_).dpi(), 96);
    }

    std::unique_ptr<Win32Toolkit> toolkit_;
    std::unique_ptr<platform::Window> holder_;
    Events events_;
};

TEST_F(Win32ToolkitTest, CreatesTheLayoutHiddenWithAFixedCaptionedFrame) {
    Win32Window& window = Create();
    HWND hwnd = window.hwnd();
    EXPECT_FALSE(::IsWindowVisible(hwnd));
    RECT client{};
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, Scale(200));
    EXPECT_EQ(client.bottom, Scale(120));
    EXPECT_EQ(Text(hwnd), "Probe");
    const LONG style = ::GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(::GetClassLongA(hwnd, GCL_STYLE) & CS_DBLCLKS, 0u);
    // The task bar's entry is the application window that owns this one.
    EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), toolkit_->applicationWindow());
    EXPECT_EQ(Text(toolkit_->applicationWindow()), "Tarnwick Executor");

    EXPECT_EQ(ClassOf(window.control(kNews)), "RICHEDIT20W");
    EXPECT_TRUE(::IsWindowUnicode(hwnd));
    for (const platform::ControlId id : {kLeft, kNews, kList, kGo}) {
        EXPECT_TRUE(::IsWindowUnicode(window.control(id))) << id;
    }
    EXPECT_EQ(ClassOf(window.control(kList)), "EDIT");
    EXPECT_EQ(ClassOf(window.control(kGo)), "BUTTON");
    const LONG news = ::GetWindowLongA(window.control(kNews), GWL_STYLE);
    EXPECT_EQ(news & (ES_READONLY | ES_MULTILINE | WS_VSCROLL | ES_DISABLENOSCROLL),
              ES_READONLY | ES_MULTILINE | WS_VSCROLL | ES_DISABLENOSCROLL);
    EXPECT_EQ(news & WS_HSCROLL, 0);
    const LONG list = ::GetWindowLongA(window.control(kList), GWL_STYLE);
    EXPECT_EQ(list & (ES_READONLY | WS_HSCROLL | WS_VSCROLL),
              ES_READONLY | WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(list & WS_VISIBLE, 0);
    EXPECT_EQ(InParent(window.control(kList)).top, InParent(window.control(kNews)).top);
    // Labels take their own clicks: a double-click on one is not one on the window.
    EXPECT_EQ(::SendMessageA(window.control(kLeft), WM_NCHITTEST, 0, 0), HTCLIENT);
}

TEST_F(Win32ToolkitTest, AutoSizedLabelsFitTheirTextAndRightAlignedOnesKeepTheirRightEdge) {
    Win32Window& window = Create();
    const RECT left = InParent(window.control(kLeft));
    EXPECT_EQ(left.left, Scale(10));
    EXPECT_GT(left.right - left.left, Scale(40));

    // Empty: the width of one blank, at the right edge.
    RECT value = InParent(window.control(kValue));
    EXPECT_EQ(value.right, Scale(175));
    const int blank = value.right - value.left;
    EXPECT_GT(blank, 0);
    EXPECT_LT(blank, Scale(10));

    ASSERT_EQ(window.SetText(kValue, "jsmith@example"), 0u);
    value = InParent(window.control(kValue));
    EXPECT_EQ(value.right, Scale(175));
    EXPECT_GT(value.right - value.left, 5 * blank);
    EXPECT_EQ(Text(window.control(kValue)), "jsmith@example");
}

TEST_F(Win32ToolkitTest, BackgroundsAreDrawnInTheColourGiven) {
    Win32Window& window = Create();
    ASSERT_EQ(window.SetBackground(kBanner, kLime), 0u);
    EXPECT_EQ(window.Show(), 0u);
    ::UpdateWindow(window.hwnd());
    Pump(50);
    HDC dc = ::GetDC(window.control(kBanner));
    const COLORREF pixel = ::GetPixel(dc, 1, 1);
    ::ReleaseDC(window.control(kBanner), dc);
    EXPECT_EQ(pixel, kLime);
}

TEST_F(Win32ToolkitTest, RichTextLoadsRtfAndFallsBackToPlainText) {
    Win32Window& window = Create();
    HWND news = window.control(kNews);
    ASSERT_EQ(window.LoadRichText(kNews,
                                  "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Server "
                                  "{\\b down}\\par tonight}"),
              0u);
    std::string text = Text(news);
    EXPECT_NE(text.find("Server down"), std::string::npos) << text;
    EXPECT_NE(text.find("tonight"), std::string::npos) << text;
    EXPECT_EQ(text.find('{'), std::string::npos) << text;

    ASSERT_EQ(window.LoadRichText(kNews, "Plain {news}\r\nsecond line"), 0u);
    text = Text(news);
    EXPECT_NE(text.find("Plain {news}"), std::string::npos) << text;
    EXPECT_NE(text.find("second line"), std::string::npos) << text;
    EXPECT_EQ(text.find("Server"), std::string::npos) << text;  // replaced, not appended

    // A NUL byte in plain text is kept as a character, the text after it
    // too; the stand-in's box does the same.
    ASSERT_EQ(window.LoadRichText(kNews, std::string("before\0after", 12)), 0u);
    EXPECT_EQ(Text(news), std::string("before\0after", 12));
}

// RTF names the code page of its bytes, or gives a character by its number:
// the Unicode box keeps letters of every script, whatever the program's own
// text is in.
TEST_F(Win32ToolkitTest, RichTextOfAnyScriptReadsBackWhole) {
    Win32Window& window = Create();
    ASSERT_EQ(
        window.LoadRichText(kNews,
                            "{\\rtf1\\ansi\\ansicpg1253{\\fonttbl{\\f0\\fcharset161 Arial;}}"
                            "\\f0 \\'c5\\'eb\\'dd\\'ed\\'e7 \\u321?ukasz \\u26481?\\u20140?}"),
        0u);
    const std::wstring text = WideText(window.control(kNews));
    EXPECT_NE(text.find(L"\u0395\u03bb\u03ad\u03bd\u03b7 \u0141ukasz \u6771\u4eac"),
              std::wstring::npos);
}

TEST_F(Win32ToolkitTest, PlainBoxHoldsItsLinesEachEndedByALineBreak) {
    Win32Window& window = Create();
    ASSERT_EQ(window.SetLines(kList, {"a", "b"}), 0u);
    ASSERT_EQ(window.AddLines(kList, {"c"}), 0u);
    EXPECT_EQ(Text(window.control(kList)), "a\r\nb\r\nc\r\n");
    // Beyond the edit control's default limit of 32 K characters.
    ASSERT_EQ(window.SetLines(kList, std::vector<std::string>(5000, std::string(20, 'x'))), 0u);
    EXPECT_EQ(::GetWindowTextLengthA(window.control(kList)), 5000 * 22);
    EXPECT_EQ(window.SetLines(kNews, {"x"}), static_cast<uint32_t>(ERROR_INVALID_WINDOW_HANDLE));
}

// Counts the texts set on a control whose window procedure it stands in for.
WNDPROC g_listProc = nullptr;
int g_textsSet = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_textsSet += message == WM_SETTEXT ? 1 : 0;
    return ::CallWindowProcA(g_listProc, window, message, wParam, lParam);
}

// A hidden plain box takes its lines once, whole, when it is about to be
// seen or its text is asked for: an edit control measures every line it is
// given, and the diagnostics list of a long script held up the window.
TEST_F(Win32ToolkitTest, AHiddenPlainBoxTakesItsLinesOnlyWhenSeenOrAskedFor) {
    const struct {
        const char* what;
        std::function<void(Win32Window&, HWND)> reveal;
    } cases[] = {
        {"its text asked for", [](Win32Window&, HWND list) { ::GetWindowTextLengthA(list); }},
        {"its lines counted",
         [](Win32Window&, HWND list) { ::SendMessageA(list, EM_GETLINECOUNT, 0, 0); }},
        {"shown", [](Win32Window& window, HWND) { EXPECT_EQ(window.SetVisible(kList, true), 0u); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Win32Window& window = Create();
        HWND list = window.control(kList);
        g_textsSet = 0;
        g_listProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
        ASSERT_EQ(window.SetLines(kList, std::vector<std::string>(100, "line")), 0u);
        ASSERT_EQ(window.AddLines(kList, {"a"}), 0u);
        ASSERT_EQ(window.SetVisible(kList, false), 0u);
        EXPECT_EQ(window.Show(), 0u);
        Pump(50);
        EXPECT_EQ(g_textsSet, 0);

        c.reveal(window, list);
        EXPECT_EQ(g_textsSet, 1);
        EXPECT_EQ(::SendMessageA(list, EM_GETLINECOUNT, 0, 0), 102);  // the empty one after "a"
        EXPECT_EQ(Text(list).substr(600), "a\r\n");                   // after 100 "line\r\n"
        EXPECT_EQ(g_textsSet, 1);
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
    }
}

// ---- names beyond the ANSI code page ----

// Names of three scripts as the program holds them (UTF-8) and as the W
// calls give them back.
struct ScriptName {
    const char* program;
    const wchar_t* wide;
};
constexpr ScriptName kScriptNames[] = {
    {"\xC5\x81ukasz", L"\u0141ukasz"},
    {"\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7", L"\u0395\u03bb\u03ad\u03bd\u03b7"},
    {"\xE6\x9D\xB1\xE4\xBA\xAC", L"\u6771\u4eac"},
};

TEST_F(Win32ToolkitTest, NamesOfEveryScriptShowInEveryControlAndReadBackWhole) {
    for (const ScriptName& name : kScriptNames) {
        SCOPED_TRACE(name.program);
        const std::wstring wide = name.wide;
        ASSERT_EQ(toolkit_->SetApplicationTitle(name.program), 0u);
        EXPECT_EQ(WideText(toolkit_->applicationWindow()), wide);
        platform::WindowSpec spec = Spec(0);
        spec.caption = name.program;
        spec.controls[kBanner].text = name.program;
        ASSERT_EQ(toolkit_->CreateMainWindow(spec, &events_, &holder_), 0u);
        auto& window = dynamic_cast<Win32Window&>(*holder_);
        EXPECT_EQ(WideText(window.hwnd()), wide);
        EXPECT_EQ(WideText(window.control(kBanner)), wide);

        // A label sized to its text measures the characters, not the bytes.
        const RECT blank = InParent(window.control(kValue));
        ASSERT_EQ(window.SetText(kValue, name.program), 0u);
        EXPECT_EQ(WideText(window.control(kValue)), wide);
        const RECT value = InParent(window.control(kValue));
        EXPECT_EQ(value.right, blank.right);
        EXPECT_GT(value.right - value.left, blank.right - blank.left);
        platform::win32::WindowDc dc(window.control(kValue));
        dc.Select(FontOf(window.control(kValue)));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &extent);
        EXPECT_EQ(value.right - value.left, extent.cx);

        ASSERT_EQ(window.SetText(kGo, name.program), 0u);
        EXPECT_EQ(WideText(window.control(kGo)), wide);

        // Plain-text news is the program's text; a NUL in it stays.
        const std::string news =
            std::string("News for ") + name.program + "\r\nsee " + std::string("a\0b", 3);
        ASSERT_EQ(window.LoadRichText(kNews, news), 0u);
        const std::wstring shown = WideText(window.control(kNews));
        EXPECT_NE(shown.find(L"News for " + wide), std::wstring::npos);
        EXPECT_NE(shown.find(std::wstring(L"see a\0b", 7)), std::wstring::npos);

        ASSERT_EQ(window.SetLines(kList, {name.program, "x"}), 0u);
        EXPECT_EQ(WideText(window.control(kList)), wide + L"\r\nx\r\n");
    }
}

TEST_F(Win32ToolkitTest, TimerTicksOnceAndTheButtonClosesTheWindowWhichEndsTheLoop) {
    Win32Window& window = Create(50);
    HWND go = window.control(kGo);
    events_.onTimer = [&] {
        EXPECT_EQ(window.SetText(kGo, "Press to continue"), 0u);
        EXPECT_EQ(window.SetClickAction(kGo,
                                        [&] {
                                            events_.log.push_back("click");
                                            EXPECT_EQ(window.Close(), 0u);
                                        }),
                  0u);
        EXPECT_EQ(window.StopTimer(), 0u);
        ::PostMessageA(go, BM_CLICK, 0, 0);
    };
    EXPECT_EQ(window.Show(), 0u);
    ::PostMessageA(go, BM_CLICK, 0, 0);  // before the tick: the button is inert

    ASSERT_EQ(toolkit_->RunEventLoop(), 0u);

    EXPECT_EQ(events_.log, (std::vector<std::string>{"tick", "click"}));
    EXPECT_TRUE(window.closed());
    EXPECT_FALSE(::IsWindowVisible(window.hwnd()));
    Pump(150);  // the stopped timer never ticks again
    EXPECT_EQ(events_.log.size(), 2u);
}

TEST_F(Win32ToolkitTest, DoubleClickOnTheSurfaceAndCentring) {
    Win32Window& window = Create();
    ::SendMessageA(window.hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(Scale(195), Scale(2)));
    EXPECT_EQ(events_.log, (std::vector<std::string>{"double-click"}));

    ASSERT_EQ(window.CenterOnScreen(), 0u);
    RECT rect{};
    ::GetWindowRect(window.hwnd(), &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    EXPECT_EQ(rect.left, std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2));
    EXPECT_EQ(rect.top, std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2));
}

TEST_F(Win32ToolkitTest, AltF4ClosesLikeTheButtonAndNeverDestroysBehindTheLoop) {
    Win32Window& window = Create();
    EXPECT_EQ(window.Show(), 0u);
    ::PostMessageA(window.hwnd(), WM_CLOSE, 0, 0);
    ASSERT_EQ(toolkit_->RunEventLoop(), 0u);
    EXPECT_TRUE(window.closed());
    EXPECT_TRUE(::IsWindow(window.hwnd()));
}

// ---- the login window at the DPIs of today's screens ----

// A control of the login window, found by its name in the window's layout.
platform::ControlId LoginControl(const std::string& name) {
    const auto& controls = app::LoginWindowLayout().controls;
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [&](const platform::ControlSpec& c) { return c.name == name; });
    EXPECT_NE(found, controls.end()) << name;
    return static_cast<platform::ControlId>(found - controls.begin());
}

// What the window's labels come to hold once it is shown, each of the
// longest kind: a user name of 20 characters (the most Windows allows), a
// machine name of 15 (NetBIOS), the aged news heading and the warning. The
// button keeps the banner, the longer of its two texts.
void FillAsShown(Win32Window& window) {
    const std::pair<const char*, const char*> texts[] = {
        {"lUName", "margaret.whitmore-jo"},
        {"lUFName", "Margaret Whitmore-Jones"},
        {"lMName", "WS-ACCOUNTS-014"},
        {"lDTstring", "Wed, Sep 24, 2025 12:59 PM"},
        {"NewsLabel", "News of the Day (365 days old)"},
        {"ErrorStatus", "Possible problem, see administrator, note machine name and time"},
    };
    for (const auto& [control, text] : texts) {
        ASSERT_EQ(window.SetText(LoginControl(control), text), 0u) << text;
    }
}

// What Windows sends a per-monitor aware window that comes onto a monitor
// of another DPI: WM_DPICHANGED with the new DPI and the rectangle that
// keeps its frame around a client area grown in step with it.
void MoveToDpi(Win32Window& window, int dpi) {
    RECT outer{};
    RECT client{};
    ::GetWindowRect(window.hwnd(), &outer);
    ::GetClientRect(window.hwnd(), &client);
    RECT suggested = outer;
    suggested.right += ::MulDiv(397, dpi, 96) - client.right;
    suggested.bottom += ::MulDiv(362, dpi, 96) - client.bottom;
    ::SendMessageA(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
}

// The character height the control's font was asked for.
int FontHeight(HWND control) {
    LOGFONTA font{};
    ::GetObjectA(FontOf(control), sizeof font, &font);
    return -font.lfHeight;
}

// The extent of the control's text in its own font, on its own DC.
SIZE TextExtent(HWND control) {
    platform::win32::WindowDc dc(control);
    dc.Select(FontOf(control));
    const std::string text = Text(control);
    SIZE size{};
    ::GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// Everything of the login window at `dpi`: the client area and every
// control's place scaled from the 96-DPI layout, every font's character
// height too, and every label's and the button's text inside its control.
void ExpectLaidOutAt(const Win32Window& window, int dpi) {
    const platform::WindowSpec& layout = app::LoginWindowLayout();
    const auto scale = [dpi](int pixels) { return ::MulDiv(pixels, dpi, 96); };
    EXPECT_EQ(window.dpi(), dpi);
    RECT client{};
    ::GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(client.right, scale(layout.clientWidth));
    EXPECT_EQ(client.bottom, scale(layout.clientHeight));

    for (size_t i = 0; i < layout.controls.size(); ++i) {
        const platform::ControlSpec& spec = layout.controls[i];
        SCOPED_TRACE(spec.name);
        HWND hwnd = window.control(static_cast<platform::ControlId>(i));
        const RECT place = InParent(hwnd);
        EXPECT_GE(place.left, 0);
        EXPECT_GE(place.top, 0);
        EXPECT_LE(place.right, client.right);
        EXPECT_LE(place.bottom, client.bottom);
        EXPECT_EQ(place.top, scale(spec.top));
        if (!spec.autoSize) {
            EXPECT_EQ(place.left, scale(spec.left));
            EXPECT_EQ(place.right, scale(spec.left + spec.width));
            EXPECT_EQ(place.bottom, scale(spec.top + spec.height));
        } else if (spec.alignment == Alignment::Right) {
            EXPECT_EQ(place.right, scale(spec.left + spec.width));
        }

        if (spec.kind == ControlKind::RichEdit) {
            // Its lines wrap inside what is seen of it, not under the
            // scroll bar (Wine's control reports one pixel more than the
            // width it was given). Its font is the rich text's own.
            RECT inside{};
            RECT lines{};
            ::GetClientRect(hwnd, &inside);
            ::SendMessageA(hwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&lines));
            EXPECT_LE(lines.right - lines.left, inside.right + 1);
            EXPECT_LE(lines.bottom - lines.top, inside.bottom);
            continue;
        }
        const int fontHeight = spec.font.name.empty() ? layout.font.height : spec.font.height;
        EXPECT_EQ(FontHeight(hwnd), scale(fontHeight));
        if (spec.kind == ControlKind::Memo) {
            continue;
        }
        const SIZE text = TextExtent(hwnd);
        RECT room{};
        ::GetClientRect(hwnd, &room);
        if (spec.kind == ControlKind::Button) {  // inside the button's 3-D edge
            ::InflateRect(&room, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
        }
        EXPECT_LE(text.cx, room.right - room.left) << Text(hwnd);
        EXPECT_LE(text.cy, room.bottom - room.top) << Text(hwnd);
    }
}

int ScreenDpi() {
    const platform::win32::WindowDc screen(nullptr);
    return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

class LoginWindowDpiTest : public Win32ToolkitTest {
  protected:
    Win32Window& CreateLoginWindow() {
        EXPECT_EQ(toolkit_->CreateMainWindow(app::LoginWindowLayout(), &events_, &holder_), 0u);
        return dynamic_cast<Win32Window&>(*holder_);
    }
};

// At 100, 125, 150 and 200 per cent nothing is cut off: a window made on
// a screen of one of these DPIs (the prefix's LogPixels), or moved onto
// one, is laid out for it, the labels filled before the move measured
// again in their new fonts.
TEST_F(LoginWindowDpiTest, EveryTextFitsItsControlAtEachDpi) {
    for (const int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        Win32Window& window = CreateLoginWindow();
        EXPECT_EQ(window.dpi(), ScreenDpi());  // made for the screen it is on
        FillAsShown(window);
        if (dpi != window.dpi()) {
            MoveToDpi(window, dpi);
        }
        ExpectLaidOutAt(window, dpi);
    }
}

// Moved to another DPI and back, the window is exactly as it was made.
TEST_F(LoginWindowDpiTest, BackAtItsFirstDpiTheWindowIsAsItWasMade) {
    Win32Window& window = CreateLoginWindow();
    FillAsShown(window);
    const int first = window.dpi();
    const auto places = [&] {
        std::vector<RECT> rects(1);
        ::GetWindowRect(window.hwnd(), &rects[0]);
        for (size_t i = 0; i < app::LoginWindowLayout().controls.size(); ++i) {
            rects.push_back(InParent(window.control(static_cast<platform::ControlId>(i))));
        }
        return rects;
    };
    const std::vector<RECT> made = places();
    MoveToDpi(window, first == 192 ? 120 : 192);
    MoveToDpi(window, first);
    const std::vector<RECT> back = places();
    ASSERT_EQ(back.size(), made.size());
    for (size_t i = 0; i < made.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(::EqualRect(&back[i], &made[i]));
    }
    ExpectLaidOutAt(window, first);
}

}  // namespace
