#include "ui/platform/x11/X11Input.h"

#include "ui/platform/NativeInput.h"

namespace ui::platform::x11 {

namespace {

// X numbers the wheel as buttons: 4 away from the user, 5 towards; 6 and 7 scroll sideways.
constexpr unsigned int kWheelAway = Button4;
constexpr unsigned int kWheelTowards = Button5;

// Alt is the first modifier, as every common keymap has it.
constexpr NativeFlag kStateFlags[] = {
    {ShiftMask, ShiftKey},     {ControlMask, CtrlKey},      {Mod1Mask, AltKey},
    {Button1Mask, LeftButton}, {Button2Mask, MiddleButton}, {Button3Mask, RightButton},
};

std::optional<MouseButton> mouseButtonOf(unsigned int button) {
    switch (button) {
    case Button1: return MouseButton::Left;
    case Button2: return MouseButton::Middle;
    case Button3: return MouseButton::Right;
    default: return std::nullopt;
    }
}

} // namespace

std::uint32_t shiftFromState(unsigned int state) {
    return shiftFromNative(state, kStateFlags);
}

std::optional<PointerEvent> X11Input::translate(const XEvent& event) {
    switch (event.type) {
    case ButtonPress:
    case ButtonRelease: {
        const XButtonEvent& button = event.xbutton;
        const bool pressed = event.type == ButtonPress;
        if (button.button == kWheelAway || button.button == kWheelTowards) {
            if (!pressed) {
                return std::nullopt;
            }
            return PointerEvent{PointerEvent::Kind::Wheel,
                                button.x,
                                button.y,
                                MouseButton::Left,
                                shiftFromState(button.state),
                                button.button == kWheelAway ? 1 : -1};
        }
        const auto which = mouseButtonOf(button.button);
        if (!which) {
            return std::nullopt;
        }
        // X reports the state before the event.
        const bool doubleClick =
            pressed && doubleClick_.press(static_cast<int>(button.button), button.x, button.y,
                                          static_cast<std::uint32_t>(button.time));
        return buttonEvent(pressed, *which, button.x, button.y, shiftFromState(button.state), doubleClick);
    }
    case MotionNotify:
        return PointerEvent{PointerEvent::Kind::Move,
                            event.xmotion.x,
                            event.xmotion.y,
                            MouseButton::Left,
                            shiftFromState(event.xmotion.state),
                            0};
    case EnterNotify:
    case LeaveNotify: {
        const XCrossingEvent& crossing = event.xcrossing;
        if (crossing.detail == NotifyInferior) {
            return std::nullopt;
        }
        // Entering has no event of its own: the first move inside is what starts hovering.
        const auto kind = event.type == EnterNotify ? PointerEvent::Kind::Move : PointerEvent::Kind::Leave;
        return PointerEvent{kind, crossing.x, crossing.y, MouseButton::Left, shiftFromState(crossing.state),
                            0};
    }
    default: return std::nullopt;
    }
}

} // namespace ui::platform::x11
