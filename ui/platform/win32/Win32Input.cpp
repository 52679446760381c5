#include "ui/platform/win32/Win32Input.h"

#include <windowsx.h>

namespace ui::platform::win32 {

std::uint32_t shiftFromKeys(WPARAM keys, bool altDown) {
    std::uint32_t shift = 0;
    if (keys & MK_SHIFT) {
        shift |= ShiftKey;
    }
    if (keys & MK_CONTROL) {
        shift |= CtrlKey;
    }
    if (altDown) {
        shift |= AltKey;
    }
    if (keys & MK_LBUTTON) {
        shift |= LeftButton;
    }
    if (keys & MK_RBUTTON) {
        shift |= RightButton;
    }
    if (keys & MK_MBUTTON) {
        shift |= MiddleButton;
    }
    return shift;
}

std::optional<PointerEvent> translateMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, bool altDown) {
    PointerEvent event{};
    // Signed: while the mouse is captured, positions left of or above the window are negative.
    event.x = GET_X_LPARAM(lParam);
    event.y = GET_Y_LPARAM(lParam);
    event.shift = shiftFromKeys(GET_KEYSTATE_WPARAM(wParam), altDown);
    switch (message) {
    case WM_MOUSEMOVE: event.kind = PointerEvent::Kind::Move; return event;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: event.kind = PointerEvent::Kind::Press; break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        event.kind = PointerEvent::Kind::Press;
        event.shift |= DoubleClick;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: event.kind = PointerEvent::Kind::Release; break;
    default: return std::nullopt;
    }
    switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP: event.button = MouseButton::Right; break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP: event.button = MouseButton::Middle; break;
    default: event.button = MouseButton::Left; break;
    }
    return event;
}

int WheelAccumulator::notches(int delta) {
    pending_ += delta;
    const int whole = pending_ / WHEEL_DELTA;
    pending_ -= whole * WHEEL_DELTA;
    return whole;
}

} // namespace ui::platform::win32
