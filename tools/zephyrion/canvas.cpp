#include "tools/zephyrion/canvas.h"

#include <algorithm>

namespace zcli {

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, background) {}

void Canvas::set(int x, int y, Rgb colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
    }
}

void Canvas::fill(int left, int top, int right, int bottom, Rgb colour) {
    const int x0 = std::max(0, std::min(left, right));
    const int x1 = std::min(width_ - 1, std::max(left, right));
    const int y0 = std::max(0, std::min(top, bottom));
    const int y1 = std::min(height_ - 1, std::max(top, bottom));
    for (int y = y0; y <= y1; ++y) {
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + x0, std::max(0, x1 - x0 + 1),
                    colour);
    }
}

void Canvas::dashedHorizontalLine(int left, int right, int y, int dash, Rgb colour) {
    for (int x = left; x <= right; x += 2 * dash) {
        horizontalLine(x, std::min(right, x + dash - 1), y, colour);
    }
}

} // namespace zcli
