// A recording toolkit for the window logic: it keeps every control's state,
// logs the calls that matter for their order, and lets a test deliver the
// events that the event loop would.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/toolkit.h"

namespace testsupport {

struct FakeControl {
    std::string name;
    platform::ControlKind kind;
    std::string text;
    std::vector<std::string> lines;
    bool hasBackground = false;
    platform::Color background = 0;
    bool visible = true;
    std::function<void()> click;
};

class FakeToolkit;

class FakeWindow : public platform::Window {
  public:
    FakeWindow(FakeToolkit& toolkit, const platform::WindowSpec& spec,
               platform::WindowEvents* events);
    ~FakeWindow() override;

    platform::Win32Error SetText(platform::ControlId id, const std::string& text) override {
        controls[id].text = text;
        return Call("SetText " + Name(id) + " " + text);
    }
    platform::Win32Error SetBackground(platform::ControlId id, platform::Color color) override {
        controls[id].hasBackground = true;
        controls[id].background = color;
        return Call("SetBackground " + Name(id));
    }
    platform::Win32Error SetVisible(platform::ControlId id, bool visible) override {
        controls[id].visible = visible;
        return Call((visible ? "Show " : "Hide ") + Name(id));
    }
    platform::Win32Error LoadRichText(platform::ControlId id, const std::string& data) override;
    platform::Win32Error SetLines(platform::ControlId id,
                                  const std::vector<std::string>& lines) override {
        controls[id].lines = lines;
        return Call("SetLines " + Name(id));
    }
    platform::Win32Error AddLines(platform::ControlId id,
                                  const std::vector<std::string>& lines) override {
        controls[id].lines.insert(controls[id].lines.end(), lines.begin(), lines.end());
        return Call("AddLines " + Name(id));
    }
    platform::Win32Error SetClickAction(platform::ControlId id,
                                        std::function<void()> action) override {
        controls[id].click = std::move(action);
        return Call("SetClickAction " + Name(id));
    }
    platform::Win32Error StopTimer() override {
        timerRunning = false;
        return Succeed("StopTimer");
    }
    platform::Win32Error CenterOnScreen() override { return Succeed("CenterOnScreen"); }
    platform::Win32Error Show() override {
        onScreen = true;
        return Succeed("ShowWindow");
    }
    platform::Win32Error Close() override {
        onScreen = false;
        closed = true;
        return Succeed("Close");
    }

    // Events as the event loop delivers them.
    void Tick() {
        if (timerRunning) {
            events->OnTimer();
        }
    }
    void DoubleClick() { events->OnDoubleClick(); }
    // Clicks the named button: nothing happens without a click action.
    void Click(const std::string& name) {
        auto& control = Control(name);
        if (control.click) {
            auto action = control.click;
            action();
        }
    }

    FakeControl& Control(const std::string& name);
    std::string Name(platform::ControlId id) const { return controls[id].name; }
    void Log(const std::string& entry);

    FakeToolkit& toolkit;
    platform::WindowEvents* events;
    std::vector<FakeControl> controls;
    bool timerRunning = true;
    bool onScreen = false;
    bool closed = false;

  private:
    // Logs a call on a control and answers it: 5 (access denied) when it is
    // the call that is to fail next, else 0.
    uint32_t Call(const std::string& entry) {
        Log(entry);
        return failNext();
    }
    uint32_t failNext();
    // Logs a call on the window itself, which never fails.
    uint32_t Succeed(const std::string& entry) {
        Log(entry);
        return 0;
    }
    std::string lastCall_;
};

class FakeToolkit : public platform::Toolkit {
  public:
    platform::Win32Error SetApplicationTitle(const std::string& newTitle) override {
        log.push_back("SetApplicationTitle " + newTitle);
        title = newTitle;
        return titleResult;
    }
    platform::Win32Error CreateMainWindow(const platform::WindowSpec& layout,
                                          platform::WindowEvents* events,
                                          std::unique_ptr<platform::Window>* created) override {
        log.push_back("CreateMainWindow");
        if (createResult != 0) {
            return createResult;
        }
        spec = layout;
        auto made = std::make_unique<FakeWindow>(*this, layout, events);
        window = made.get();
        *created = std::move(made);
        return 0;
    }
    platform::Win32Error RunEventLoop() override {
        log.push_back("RunEventLoop");
        if (loop && window) {
            loop(*window);
        }
        return 0;
    }
    platform::Win32Error ShowMessageBox(const std::string& caption,
                                        const std::string& text) override {
        log.push_back("MessageBox [" + caption + "] " + text);
        boxes.emplace_back(caption, text);
        return 0;
    }

    // What the event loop does once the window is shown.
    std::function<void(FakeWindow&)> loop;
    uint32_t titleResult = 0;
    uint32_t createResult = 0;
    uint32_t loadRichTextResult = 0;
    // The call that fails next ("SetText lUName" ...); empty for none.
    std::string failCall;
    std::string title;
    FakeWindow* window = nullptr;
    platform::WindowSpec spec;  // as the window was created
    bool windowDestroyed = false;
    std::function<void()> onDestroy;  // runs when the window is destroyed
    std::vector<std::string> log;
    std::vector<std::pair<std::string, std::string>> boxes;
};

inline FakeWindow::FakeWindow(FakeToolkit& owner, const platform::WindowSpec& spec,
                              platform::WindowEvents* windowEvents)
    : toolkit(owner), events(windowEvents) {
    for (const auto& c : spec.controls) {
        FakeControl control;
        control.name = c.name;
        control.kind = c.kind;
        control.text = c.text;
        control.visible = c.visible;
        if (c.background) {
            control.hasBackground = true;
            control.background = *c.background;
        }
        controls.push_back(control);
    }
}

inline FakeWindow::~FakeWindow() {
    toolkit.log.push_back("DestroyWindow");
    toolkit.windowDestroyed = true;
    if (toolkit.onDestroy) {
        toolkit.onDestroy();
    }
    if (toolkit.window == this) {
        toolkit.window = nullptr;
    }
}

inline platform::Win32Error FakeWindow::LoadRichText(platform::ControlId id,
                                                     const std::string& data) {
    Log("LoadRichText " + Name(id));
    if (toolkit.loadRichTextResult != 0) {
        return toolkit.loadRichTextResult;
    }
    controls[id].text = data;
    return failNext();
}

inline FakeControl& FakeWindow::Control(const std::string& name) {
    for (auto& control : controls) {
        if (control.name == name) {
            return control;
        }
    }
    static FakeControl none;
    none = FakeControl{};
    return none;
}

inline void FakeWindow::Log(const std::string& entry) {
    toolkit.log.push_back(entry);
    lastCall_ = entry;
}

inline uint32_t FakeWindow::failNext() {
    if (!toolkit.failCall.empty() && lastCall_.rfind(toolkit.failCall, 0) == 0) {
        toolkit.failCall.clear();
        return 5;
    }
    return 0;
}

}  // namespace testsupport
