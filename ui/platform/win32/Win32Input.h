// Turns the mouse messages of the child window into the toolkit's pointer events.
#pragma once

#include "ui/platform/NativeWindow.h"

#include <windows.h>

#include <optional>

namespace ui::platform::win32 {

// Modifier and button flags of a mouse message's key state; Alt is not in it and comes from `altDown`.
std::uint32_t shiftFromKeys(WPARAM keys, bool altDown);

// Button, double-click and move messages, with coordinates in the window. Null for other messages.
std::optional<PointerEvent> translateMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, bool altDown);

// Wheel messages come in steps of 120, or finer on smooth wheels: the remainder is kept between messages
// and whole notches are handed out.
class WheelAccumulator {
public:
    int notches(int delta);

private:
    int pending_ = 0;
};

} // namespace ui::platform::win32
