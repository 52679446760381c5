#include <array>

#include "editor/EditorLayout.h"
#include "editor/art/Artwork.h"

namespace editor::art {
namespace {

struct MeterBand {
    int firstRow;
    ui::Color colour;
};

// Magenta to yellow, one band per few rows; each band runs down to the next one's first row.
constexpr auto kBands = std::to_array<MeterBand>({
    {0, ui::rgb(242, 2, 216)},
    {3, ui::rgb(227, 26, 211)},
    {9, ui::rgb(225, 41, 194)},
    {15, ui::rgb(226, 54, 181)},
    {20, ui::rgb(226, 67, 169)},
    {26, ui::rgb(226, 85, 151)},
    {33, ui::rgb(225, 96, 140)},
    {38, ui::rgb(225, 109, 126)},
    {44, ui::rgb(228, 125, 112)},
    {49, ui::rgb(228, 138, 100)},
    {55, ui::rgb(229, 152, 85)},
    {61, ui::rgb(241, 166, 55)},
    {66, ui::rgb(242, 179, 46)},
    {73, ui::rgb(242, 194, 34)},
    {78, ui::rgb(243, 207, 26)},
    {83, ui::rgb(242, 220, 19)},
});

constexpr ui::Color kMeterCoverColour = ui::rgb(45, 25, 69);

std::size_t bandOf(int row) {
    std::size_t band = 0;
    while (band + 1 < kBands.size() && kBands[band + 1].firstRow <= row) {
        ++band;
    }
    return band;
}

} // namespace

ui::PixelMap meterGradient() {
    ui::PixelMap map(9, kMeterHeight);
    for (int y = 0; y < kMeterHeight; ++y) {
        const std::size_t band = bandOf(y);
        // Softens the steps: the first row of a band takes every other pixel from the band above, and row
        // 1 already leans towards the second band. The band's own colour keeps the majority of every row.
        ui::Color other = kBands[band].colour;
        if (y == 1) {
            other = kBands[1].colour;
        } else if (band > 0 && kBands[band].firstRow == y) {
            other = kBands[band - 1].colour;
        }
        for (int x = 0; x < map.width(); ++x) {
            map.setPixel(x, y, x % 2 == 1 ? other : kBands[band].colour);
        }
    }
    return map;
}

ui::PixelMap meterCover() {
    return ui::PixelMap(9, kMeterHeight, kMeterCoverColour);
}

} // namespace editor::art
