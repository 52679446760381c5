// The one narrow interface between the toolkit and a window system. Each backend (headless, X11, Win32)
// implements it in one file of its own; the toolkit above it never sees an operating-system type.
// Everything here runs on the thread that created the window (the host's user-interface thread).
#pragma once

#include <cstdint>
#include <memory>

namespace ui::platform {

enum class Cursor { Arrow, Hand, UpDown };

// Modifier and button state carried by every pointer event.
enum Shift : std::uint32_t {
    ShiftKey = 1u << 0,
    CtrlKey = 1u << 1,
    AltKey = 1u << 2,
    LeftButton = 1u << 3,
    RightButton = 1u << 4,
    MiddleButton = 1u << 5,
    DoubleClick = 1u << 6,
};

enum class MouseButton { Left, Right, Middle };

constexpr std::uint32_t buttonFlag(MouseButton button) {
    switch (button) {
    case MouseButton::Left: return LeftButton;
    case MouseButton::Right: return RightButton;
    case MouseButton::Middle: return MiddleButton;
    }
    return 0;
}

struct PointerEvent {
    enum class Kind { Press, Release, Move, Leave, Wheel } kind;
    int x = 0; // window coordinates, pixels
    int y = 0;
    MouseButton button = MouseButton::Left; // Press and Release
    std::uint32_t shift = 0;                // Shift flags at the time of the event
    int wheelDelta = 0;                     // Wheel: +1 per notch away from the user, -1 towards
};

// What a backend calls back into; implemented by the toolkit's form.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void onPointer(const PointerEvent& event) = 0;
    virtual void onTimer(int timerId) = 0;
    // The system needs the window's pixels again (exposed, uncovered): the backend repaints them from the
    // last frame it was given, the toolkit need not draw.
};

// A child window inside a host's native window, showing 32-bit 0x00RRGGBB pixels.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    // Copies a whole frame (width x height pixels, rows `stride` pixels apart) and shows it.
    virtual void present(const std::uint32_t* pixels, int stride) = 0;
    // Delivers pending window-system events and due timers to the WindowEvents. Called at the host's idle.
    virtual void pump() = 0;
    virtual void setCursor(Cursor cursor) = 0;
    // While captured, the pointer's moves and release reach this window even outside it.
    virtual void captureMouse(bool captured) = 0;
    // Starts (or restarts) a periodic timer; its ticks reach WindowEvents::onTimer with `timerId`.
    virtual void startTimer(int timerId, int intervalMs) = 0;
    virtual void stopTimer(int timerId) = 0;
    virtual void show(bool visible) = 0;
    // The native handle (X11 Window id, HWND, or the headless window's address).
    virtual void* handle() const = 0;
};

// Creates a child of the host's native window `parent`, of a fixed size. Null when the window system cannot
// be reached (no display, a parent that is not a window): the caller then simply has no window.
// Which backend this is depends on the library linked: zephyrion_ui_headless or zephyrion_ui_native.
std::unique_ptr<NativeWindow> createChildWindow(void* parent, int width, int height, WindowEvents& events);

} // namespace ui::platform
