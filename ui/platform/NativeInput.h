// What the X11 and Win32 backends share in turning native input into the toolkit's pointer events: each
// lists its own codes, the mapping itself is done here once.
#pragma once

#include <cstdint>
#include <span>

#include "ui/platform/NativeWindow.h"

namespace ui::platform {

// One bit of a window system's key-and-button state and the toolkit's flag for it.
struct NativeFlag {
    std::uint32_t bit;
    Shift flag;
};

// The toolkit's flags for the bits of `state` that `flags` names.
std::uint32_t shiftFromNative(std::uint32_t state, std::span<const NativeFlag> flags);

// A press or release of `button` at (x, y) with `shift` as the window system reported it. The toolkit wants
// the buttons held after the event: a press includes its own button and a release no longer does,
// whichever way the window system counts them.
PointerEvent buttonEvent(bool pressed, MouseButton button, int x, int y, std::uint32_t shift,
                         bool doubleClick);

} // namespace ui::platform
