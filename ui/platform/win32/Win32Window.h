// The Win32 backend: a WS_CHILD window of the host's HWND. The host's message loop delivers its messages,
// timers are WM_TIMER, so pump() has nothing to do.
#pragma once

#include "ui/platform/NativeWindow.h"
#include "ui/platform/win32/Win32Input.h"
#include "ui/platform/win32/WindowClassLease.h"

#include <windows.h>

#include <vector>

namespace ui::platform::win32 {

class Win32Window final : public NativeWindow {
public:
    // Null when `parent` is no window, the size is not positive or the window cannot be made.
    static std::unique_ptr<Win32Window> create(HWND parent, int width, int height, WindowEvents& events);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    void present(const std::uint32_t* pixels, int stride) override;
    void pump() override {}
    void setCursor(Cursor cursor) override;
    void captureMouse(bool captured) override;
    void startTimer(int timerId, int intervalMs) override;
    void stopTimer(int timerId) override;
    void show(bool visible) override;
    void* handle() const override { return hwnd_; }

private:
    Win32Window(int width, int height, WindowEvents& events);
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc) const;
    void pointerMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void wheelMessage(WPARAM wParam, LPARAM lParam);
    void leaveMessage();
    bool pointerIsOver() const;

    WindowClassLease lease_; // first in, last out: the class outlives the window
    HWND hwnd_ = nullptr;    // null once the window is gone, also when the host destroyed it with its own
    int width_;
    int height_;
    std::vector<std::uint32_t> frame_;
    WindowEvents& events_;
    WheelAccumulator wheel_;
    Cursor cursor_ = Cursor::Arrow;
    bool trackingLeave_ = false;
};

} // namespace ui::platform::win32
