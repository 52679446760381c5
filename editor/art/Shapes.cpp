#include "editor/art/Shapes.h"

#include "editor/EditorLayout.h"

namespace editor::art {
namespace {

// 4 x 4 ordered-dither thresholds: spreads the darker tone evenly as its share grows.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

bool darkerAt(int x, int y, int share) {
    return kBayer[y & 3][x & 3] < share;
}

} // namespace

void fillArea(ui::PixelMap& map, const ui::Rect& area, ui::Color c) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            map.setPixel(x, y, c);
        }
    }
}

void paintGround(ui::PixelMap& map, const ui::Rect& area, ui::Point origin) {
    for (int y = area.top; y < area.bottom; ++y) {
        const int windowY = origin.y + y;
        const int share = windowY * 17 / kWindowHeight;
        for (int x = area.left; x < area.right; ++x) {
            map.setPixel(x, y, darkerAt(origin.x + x, windowY, share) ? kGroundDark : kGroundLight);
        }
    }
}

void ditherVertically(ui::PixelMap& map, const ui::Rect& area, ui::Color top, ui::Color bottom) {
    const int rows = area.height();
    for (int y = area.top; y < area.bottom; ++y) {
        const int share = rows <= 1 ? 0 : (y - area.top) * 16 / (rows - 1);
        for (int x = area.left; x < area.right; ++x) {
            map.setPixel(x, y, darkerAt(x, y, share) ? bottom : top);
        }
    }
}

void bevel(ui::PixelMap& map, const ui::Rect& r, ui::Color light, ui::Color dark) {
    if (r.empty()) {
        return;
    }
    fillArea(map, {r.left, r.bottom - 1, r.right, r.bottom}, dark);
    fillArea(map, {r.right - 1, r.top, r.right, r.bottom}, dark);
    fillArea(map, {r.left, r.top, r.right - 1, r.top + 1}, light);
    fillArea(map, {r.left, r.top, r.left + 1, r.bottom - 1}, light);
}

void raisedPlate(ui::PixelMap& map, const ui::Rect& r) {
    bevel(map, r, kPlateLight, kPlateShadow);
}

void sunkenBox(ui::PixelMap& map, const ui::Rect& r) {
    bevel(map, r, kBoxRim, kBoxLight);
    const ui::Rect inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    bevel(map, inner, kBoxInnerShade, kBoxFill);
    fillArea(map, {inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1}, kBoxFill);
}

void drawSprite(ui::PixelMap& map, int x, int y, std::initializer_list<std::string_view> rows,
                std::initializer_list<std::pair<char, ui::Color>> colours) {
    int row = 0;
    for (std::string_view line : rows) {
        for (int column = 0; column < static_cast<int>(line.size()); ++column) {
            for (const auto& [key, colour] : colours) {
                if (line[static_cast<std::size_t>(column)] == key) {
                    map.setPixel(x + column, y + row, colour);
                }
            }
        }
        ++row;
    }
}

void drawMascot(ui::PixelMap& map, int x, int y) {
    drawSprite(map, x, y,
               {
                   ".......######........",
                   ".....##oooooo##......",
                   "....#oooooooooo#.....",
                   "...#oooooooooooo##...",
                   "..#ooooooooooooooo#..",
                   ".#oooo#oooooo#ooooo#.",
                   ".#oooo#oooooo#ooooo#.",
                   "#ooppooooooooooppooo#",
                   "#oooooooo###ooooooos#",
                   "#ooooooo#mmm#oooooss#",
                   ".#soooooo###ooooooss#",
                   "..##ssooooooooosss##.",
                   "....##ssssssssss##...",
                   "......##########.....",
               },
               {{'#', kInkShadow},
                {'o', ui::rgb(238, 226, 250)},
                {'s', ui::rgb(190, 170, 226)},
                {'p', ui::rgb(255, 140, 196)},
                {'m', ui::rgb(120, 40, 96)}});
}

} // namespace editor::art
