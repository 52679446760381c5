// Turns the X events the child window selects into the toolkit's pointer events.
#pragma once

#include "ui/platform/NativeWindow.h"
#include "ui/platform/x11/DoubleClickDetector.h"

#include <X11/Xlib.h>

#include <optional>

namespace ui::platform::x11 {

class X11Input {
public:
    // Null for events that mean nothing to the toolkit (horizontal scroll buttons, releases of the wheel,
    // crossings between the window and a child of its own).
    std::optional<PointerEvent> translate(const XEvent& event);

private:
    DoubleClickDetector doubleClick_;
};

// Modifier and button flags of an X state mask.
std::uint32_t shiftFromState(unsigned int state);

} // namespace ui::platform::x11
