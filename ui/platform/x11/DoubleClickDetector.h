// X11 has no double-click event: a press counts as the second of a pair when it comes soon enough after a
// press of the same button at nearly the same place, as Windows judges it by default.
#pragma once

#include <cstdint>

namespace ui::platform::x11 {

class DoubleClickDetector {
public:
    static constexpr std::uint32_t kMaxIntervalMs = 500;
    static constexpr int kMaxDistance = 4;

    // Called for every press in order, with the X server's timestamp (milliseconds, wrapping at 2^32).
    // True when this press completes a double click; the press after it starts a new pair.
    bool press(int button, int x, int y, std::uint32_t timeMs);

private:
    bool armed_ = false;
    int button_ = 0;
    int x_ = 0;
    int y_ = 0;
    std::uint32_t timeMs_ = 0;
};

} // namespace ui::platform::x11
