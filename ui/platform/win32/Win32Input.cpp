#include "ui/platform/win32/Win32Input.h"

#include <windowsx.h>

#include "ui/platform/NativeInput.h"

namespace ui::platform::win32 {

namespace {

constexpr NativeFlag kKeyFlags[] = {
    {MK_SHIFT, ShiftKey},      {MK_CONTROL, CtrlKey},      {MK_LBUTTON, LeftButton},
    {MK_RBUTTON, RightButton}, {MK_MBUTTON, MiddleButton},
};

struct MouseMessage {
    UINT message;
    bool pressed;
    bool doubleClick;
    MouseButton button;
};

constexpr MouseMessage kButtonMessages[] = {
    {WM_LBUTTONDOWN, true, false, MouseButton::Left},   {WM_LBUTTONDBLCLK, true, true, MouseButton::Left},
    {WM_LBUTTONUP, false, false, MouseButton::Left},    {WM_RBUTTONDOWN, true, false, MouseButton::Right},
    {WM_RBUTTONDBLCLK, true, true, MouseButton::Right}, {WM_RBUTTONUP, false, false, MouseButton::Right},
    {WM_MBUTTONDOWN, true, false, MouseButton::Middle}, {WM_MBUTTONDBLCLK, true, true, MouseButton::Middle},
    {WM_MBUTTONUP, false, false, MouseButton::Middle},
};

} // namespace

std::uint32_t shiftFromKeys(WPARAM keys, bool altDown) {
    return shiftFromNative(static_cast<std::uint32_t>(keys), kKeyFlags) | (altDown ? AltKey : 0u);
}

std::optional<PointerEvent> translateMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, bool altDown) {
    // Signed: while the mouse is captured, positions left of or above the window are negative.
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const std::uint32_t shift = shiftFromKeys(GET_KEYSTATE_WPARAM(wParam), altDown);
    if (message == WM_MOUSEMOVE) {
        return PointerEvent{PointerEvent::Kind::Move, x, y, MouseButton::Left, shift, 0};
    }
    for (const MouseMessage& button : kButtonMessages) {
        if (button.message == message) {
            return buttonEvent(button.pressed, button.button, x, y, shift, button.doubleClick);
        }
    }
    return std::nullopt;
}

int WheelAccumulator::notches(int delta) {
    pending_ += delta;
    const int whole = pending_ / WHEEL_DELTA;
    pending_ -= whole * WHEEL_DELTA;
    return whole;
}

} // namespace ui::platform::win32
