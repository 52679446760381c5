#include "ui/platform/x11/X11Input.h"

namespace ui::platform::x11 {

namespace {

// X numbers the wheel as buttons: 4 away from the user, 5 towards; 6 and 7 scroll sideways.
constexpr unsigned int kWheelAway = Button4;
constexpr unsigned int kWheelTowards = Button5;

std::optional<MouseButton> mouseButtonOf(unsigned int button) {
    switch (button) {
    case Button1: return MouseButton::Left;
    case Button2: return MouseButton::Middle;
    case Button3: return MouseButton::Right;
    default: return std::nullopt;
    }
}

std::uint32_t flagOf(MouseButton button) {
    switch (button) {
    case MouseButton::Left: return LeftButton;
    case MouseButton::Right: return RightButton;
    case MouseButton::Middle: return MiddleButton;
    }
    return 0;
}

} // namespace

std::uint32_t shiftFromState(unsigned int state) {
    std::uint32_t shift = 0;
    if (state & ShiftMask) {
        shift |= ShiftKey;
    }
    if (state & ControlMask) {
        shift |= CtrlKey;
    }
    if (state & Mod1Mask) {
        shift |= AltKey;
    }
    if (state & Button1Mask) {
        shift |= LeftButton;
    }
    if (state & Button2Mask) {
        shift |= MiddleButton;
    }
    if (state & Button3Mask) {
        shift |= RightButton;
    }
    return shift;
}

std::optional<PointerEvent> X11Input::translate(const XEvent& event) {
    PointerEvent pointer{};
    switch (event.type) {
    case ButtonPress:
    case ButtonRelease: {
        const XButtonEvent& button = event.xbutton;
        pointer.x = button.x;
        pointer.y = button.y;
        pointer.shift = shiftFromState(button.state);
        if (button.button == kWheelAway || button.button == kWheelTowards) {
            if (event.type == ButtonRelease) {
                return std::nullopt;
            }
            pointer.kind = PointerEvent::Kind::Wheel;
            pointer.wheelDelta = button.button == kWheelAway ? 1 : -1;
            return pointer;
        }
        const auto which = mouseButtonOf(button.button);
        if (!which) {
            return std::nullopt;
        }
        pointer.button = *which;
        // X reports the state before the event; the toolkit wants it after, as Windows gives it.
        if (event.type == ButtonPress) {
            pointer.kind = PointerEvent::Kind::Press;
            pointer.shift |= flagOf(*which);
            if (doubleClick_.press(static_cast<int>(button.button), button.x, button.y,
                                   static_cast<std::uint32_t>(button.time))) {
                pointer.shift |= DoubleClick;
            }
        } else {
            pointer.kind = PointerEvent::Kind::Release;
            pointer.shift &= ~flagOf(*which);
        }
        return pointer;
    }
    case MotionNotify:
        pointer.kind = PointerEvent::Kind::Move;
        pointer.x = event.xmotion.x;
        pointer.y = event.xmotion.y;
        pointer.shift = shiftFromState(event.xmotion.state);
        return pointer;
    case EnterNotify:
    case LeaveNotify: {
        const XCrossingEvent& crossing = event.xcrossing;
        if (crossing.detail == NotifyInferior) {
            return std::nullopt;
        }
        // Entering has no event of its own: the first move inside is what starts hovering.
        pointer.kind = event.type == EnterNotify ? PointerEvent::Kind::Move : PointerEvent::Kind::Leave;
        pointer.x = crossing.x;
        pointer.y = crossing.y;
        pointer.shift = shiftFromState(crossing.state);
        return pointer;
    }
    default: return std::nullopt;
    }
}

} // namespace ui::platform::x11
