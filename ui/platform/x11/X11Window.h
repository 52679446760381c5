// The X11 backend: a child of the host's window on a display connection of the plug-in's own. The host's
// idle calls drive it: pump() reads that connection's events and fires due timers.
#pragma once

#include "ui/platform/NativeWindow.h"
#include "ui/platform/x11/PixelFormat.h"
#include "ui/platform/x11/TimerSchedule.h"
#include "ui/platform/x11/X11Input.h"

#include <X11/Xlib.h>

#include <array>
#include <vector>

namespace ui::platform::x11 {

class X11Window final : public NativeWindow {
public:
    // Null when the display cannot be opened, `parent` names no window, the size is not positive or the
    // screen's visual has no colour channels.
    static std::unique_ptr<X11Window> create(Window parent, int width, int height, WindowEvents& events);
    ~X11Window() override;
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    void present(const std::uint32_t* pixels, int stride) override;
    void pump() override;
    void setCursor(Cursor cursor) override;
    void captureMouse(bool captured) override;
    void startTimer(int timerId, int intervalMs) override;
    void stopTimer(int timerId) override;
    void show(bool visible) override;
    void* handle() const override;

private:
    X11Window(Display* display, int width, int height, WindowEvents& events);
    bool createWindow(Window parent);
    void paint(int x, int y, int width, int height);
    void handleEvent(const XEvent& event);
    void fireDueTimers();
    ::Cursor cursorFor(Cursor cursor);

    Display* display_;
    Window window_ = 0; // 0 once the window is gone, also when the host destroyed it with its own
    GC gc_ = nullptr;
    XImage* image_ = nullptr; // describes frame_, never owns it
    int width_;
    int height_;
    PixelFormat format_;
    std::vector<std::uint32_t> frame_;
    WindowEvents& events_;
    X11Input input_;
    TimerSchedule timers_;
    std::array<::Cursor, 3> cursors_{};
    bool captured_ = false;
};

} // namespace ui::platform::x11
