// A plain RGB picture with the few drawing primitives the plot needs. Everything is clipped to the picture.
#pragma once

#include <cstdint>
#include <vector>

namespace zcli {

using Rgb = std::uint32_t; // 0xRRGGBB

class Canvas {
public:
    Canvas(int width, int height, Rgb background);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const std::vector<Rgb>& pixels() const { return pixels_; }

    void set(int x, int y, Rgb colour);
    // The rectangle from (left, top) to (right, bottom), both corners included, in either order.
    void fill(int left, int top, int right, int bottom, Rgb colour);
    void horizontalLine(int left, int right, int y, Rgb colour) { fill(left, y, right, y, colour); }
    void verticalLine(int x, int top, int bottom, Rgb colour) { fill(x, top, x, bottom, colour); }
    void dashedHorizontalLine(int left, int right, int y, int dash, Rgb colour);

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

} // namespace zcli
