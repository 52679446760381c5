// Mouse buttons, key and button state and cursors as controls see them.
#pragma once

#include <cstdint>

#include "ui/platform/NativeWindow.h"

namespace ui {

using MouseButton = platform::MouseButton;
inline constexpr MouseButton mbLeft = MouseButton::Left;
inline constexpr MouseButton mbRight = MouseButton::Right;
inline constexpr MouseButton mbMiddle = MouseButton::Middle;

// Keys and buttons held during a mouse event. A press includes the button going down; a release no longer
// includes the button coming up. So "the left button alone" on a press reads `shift == ssLeft`.
using ShiftState = std::uint32_t;
inline constexpr ShiftState ssShift = platform::ShiftKey;
inline constexpr ShiftState ssCtrl = platform::CtrlKey;
inline constexpr ShiftState ssAlt = platform::AltKey;
inline constexpr ShiftState ssLeft = platform::LeftButton;
inline constexpr ShiftState ssRight = platform::RightButton;
inline constexpr ShiftState ssMiddle = platform::MiddleButton;
inline constexpr ShiftState ssDouble = platform::DoubleClick;

using platform::buttonFlag;

// One wheel notch, in the units of OnMouseWheel's delta.
inline constexpr int wheelNotch = 120;

using Cursor = platform::Cursor;
inline constexpr Cursor crDefault = Cursor::Arrow;
inline constexpr Cursor crHandPoint = Cursor::Hand;
inline constexpr Cursor crSizeNS = Cursor::UpDown;

} // namespace ui
