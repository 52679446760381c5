#include "ui/platform/NativeInput.h"

namespace ui::platform {

std::uint32_t shiftFromNative(std::uint32_t state, std::span<const NativeFlag> flags) {
    std::uint32_t shift = 0;
    for (const NativeFlag& flag : flags) {
        if ((state & flag.bit) != 0) {
            shift |= flag.flag;
        }
    }
    return shift;
}

PointerEvent buttonEvent(bool pressed, MouseButton button, int x, int y, std::uint32_t shift,
                         bool doubleClick) {
    const std::uint32_t held = pressed ? shift | buttonFlag(button) : shift & ~buttonFlag(button);
    return {pressed ? PointerEvent::Kind::Press : PointerEvent::Kind::Release,
            x,
            y,
            button,
            held | (doubleClick ? DoubleClick : 0u),
            0};
}

} // namespace ui::platform
