#include "editor/art/PixelLettering.h"

#include <array>
#include <cctype>
#include <span>

namespace editor::art {
namespace {

// One letter as rows of '#' (ink) and '.'; the rows' length is the letter's width.
struct PixelGlyph {
    char code;
    std::array<std::string_view, 7> rows;
};

constexpr int kCaptionRows = 7;
constexpr int kSmallRows = 5;

constexpr auto kCaptionGlyphs = std::to_array<PixelGlyph>({
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {'J', {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {':', {".", ".", "#", ".", ".", "#", "."}},
    {'.', {".", ".", ".", ".", ".", ".", "#"}},
    {'#', {".....", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", "....."}},
    {'&', {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},
    {'-', {"...", "...", "...", "###", "...", "...", "..."}},
    {' ', {"...", "...", "...", "...", "...", "...", "..."}},
});

constexpr auto kSmallGlyphs = std::to_array<PixelGlyph>({
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
    {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {".##", "#..", "#..", "#..", ".##"}},
    {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'E', {"###", "#..", "##.", "#..", "###"}},
    {'F', {"###", "#..", "##.", "#..", "#.."}},
    {'G', {".##", "#..", "#.#", "#.#", ".##"}},
    {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}},
    {'J', {"..#", "..#", "..#", "#.#", ".#."}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'L', {"#..", "#..", "#..", "#..", "###"}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
    {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}},
    {'O', {".#.", "#.#", "#.#", "#.#", ".#."}},
    {'P', {"##.", "#.#", "##.", "#..", "#.."}},
    {'Q', {".#.", "#.#", "#.#", "##.", ".##"}},
    {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'S', {".##", "#..", ".#.", "..#", "##."}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
    {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
    {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
    {'Z', {"###", "..#", ".#.", "#..", "###"}},
    {'.', {".", ".", ".", ".", "#"}},
    {'&', {".#.", "#.#", ".#.", "#.#", ".##"}},
    {' ', {"..", "..", "..", "..", ".."}},
});

int rowsOf(LetterFace face) {
    return face == LetterFace::Caption ? kCaptionRows : kSmallRows;
}

const PixelGlyph* glyphFor(char c, LetterFace face) {
    const char code = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::span<const PixelGlyph> glyphs = face == LetterFace::Caption
                                                   ? std::span<const PixelGlyph>(kCaptionGlyphs)
                                                   : std::span<const PixelGlyph>(kSmallGlyphs);
    for (const PixelGlyph& glyph : glyphs) {
        if (glyph.code == code) {
            return &glyph;
        }
    }
    return glyphFor(' ', face);
}

int glyphWidth(const PixelGlyph& glyph) {
    return static_cast<int>(glyph.rows[0].size());
}

ui::Color shade(ui::Color top, ui::Color bottom, int row, int rows) {
    if (rows <= 1) {
        return top;
    }
    return ui::mix(top, bottom, 255 - row * 255 / (rows - 1));
}

template <class PixelAction>
void forEachInkPixel(std::string_view text, LetterFace face, PixelAction action) {
    int left = 0;
    for (char c : text) {
        const PixelGlyph& glyph = *glyphFor(c, face);
        for (int row = 0; row < rowsOf(face); ++row) {
            for (int column = 0; column < glyphWidth(glyph); ++column) {
                if (glyph.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '#') {
                    action(left + column, row);
                }
            }
        }
        left += glyphWidth(glyph) + 1;
    }
}

void fillBlock(ui::PixelMap& map, int x, int y, int size, ui::Color c) {
    for (int dy = 0; dy < size; ++dy) {
        for (int dx = 0; dx < size; ++dx) {
            map.setPixel(x + dx, y + dy, c);
        }
    }
}

} // namespace

int letteringWidth(std::string_view text, const LetteringStyle& style) {
    int width = 0;
    for (char c : text) {
        width += glyphWidth(*glyphFor(c, style.face)) + 1;
    }
    return width == 0 ? 0 : (width - 1) * style.scale;
}

int letteringHeight(const LetteringStyle& style) {
    return rowsOf(style.face) * style.scale;
}

void drawLettering(ui::PixelMap& map, int x, int y, std::string_view text, const LetteringStyle& style) {
    const int s = style.scale;
    if (style.outline) {
        forEachInkPixel(text, style.face, [&](int column, int row) {
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    fillBlock(map, x + column * s + dx, y + row * s + dy, s, style.shadow);
                }
            }
        });
    }
    // The shadow falls one pixel down and right, and as far again for every extra step of scale.
    forEachInkPixel(text, style.face, [&](int column, int row) {
        fillBlock(map, x + column * s + s, y + row * s + s, s, style.shadow);
    });
    const int rows = letteringHeight(style);
    forEachInkPixel(text, style.face, [&](int column, int row) {
        for (int dy = 0; dy < s; ++dy) {
            const ui::Color c = shade(style.top, style.bottom, row * s + dy, rows);
            for (int dx = 0; dx < s; ++dx) {
                map.setPixel(x + column * s + dx, y + row * s + dy, c);
            }
        }
    });
}

} // namespace editor::art
