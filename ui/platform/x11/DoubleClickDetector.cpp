#include "ui/platform/x11/DoubleClickDetector.h"

#include <cstdlib>

namespace ui::platform::x11 {

bool DoubleClickDetector::press(int button, int x, int y, std::uint32_t timeMs) {
    // Unsigned subtraction keeps the interval right across the server clock's wrap.
    const bool isDouble = armed_ && button == button_ && timeMs - timeMs_ <= kMaxIntervalMs &&
                          std::abs(x - x_) <= kMaxDistance && std::abs(y - y_) <= kMaxDistance;
    armed_ = !isDouble;
    button_ = button;
    x_ = x;
    y_ = y;
    timeMs_ = timeMs;
    return isDouble;
}

} // namespace ui::platform::x11
