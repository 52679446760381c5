// An 8-bit picture: every pixel is an index into a palette of 256 colours.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ui/PixelMap.h"

namespace ui {

class PalettePicture {
public:
    PalettePicture() = default;
    // Negative sizes count as 0. Every pixel starts at index 0, every palette entry black.
    PalettePicture(int width, int height);

    // Converts a 32-bit picture: exactly when it holds at most 256 colours, otherwise through a median cut,
    // which keeps the colours of large areas and loses a little in the anti-aliased edges.
    static PalettePicture fromPixels(const PixelMap& pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    // Outside the picture: reads give index 0, writes are dropped.
    std::uint8_t index(int x, int y) const;
    void setIndex(int x, int y, std::uint8_t index);
    Color paletteColor(std::uint8_t index) const { return palette_[index]; }
    void setPaletteColor(std::uint8_t index, Color c) { palette_[index] = c; }
    Color color(int x, int y) const { return palette_[index(x, y)]; }

    const std::uint8_t* row(int y) const {
        return indices_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::array<Color, 256> palette_{};
    std::vector<std::uint8_t> indices_;
};

} // namespace ui
