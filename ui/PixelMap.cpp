#include "ui/PixelMap.h"

#include <algorithm>

namespace ui {

PixelMap::PixelMap(int width, int height, Color fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {
    if (empty()) {
        width_ = height_ = 0;
    }
}

Color PixelMap::pixel(int x, int y) const {
    return inside(x, y) ? row(y)[x] : clBlack;
}

void PixelMap::setPixel(int x, int y, Color c) {
    if (inside(x, y)) {
        row(y)[x] = c;
    }
}

void PixelMap::fill(Color c) {
    std::fill(pixels_.begin(), pixels_.end(), c);
}

} // namespace ui
