// A 32-bit picture: width x height pixels of 0x00RRGGBB, rows stored top to bottom without gaps.
#pragma once

#include <cstddef>
#include <vector>

#include "ui/Color.h"

namespace ui {

class PixelMap {
public:
    PixelMap() = default;
    // Negative sizes count as 0, so a bad size gives an empty map rather than a crash.
    PixelMap(int width, int height, Color fill = clBlack);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    // Outside the map: reads give black, writes are dropped.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);
    void fill(Color c);

    Color* row(int y) {
        return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }
    const Color* row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }
    const Color* data() const { return pixels_.data(); }

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
};

} // namespace ui
