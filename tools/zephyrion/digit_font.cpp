#include "tools/zephyrion/digit_font.h"

#include <array>

namespace zcli {
namespace {

// Each row is three bits, the leftmost pixel in the highest bit.
struct Glyph {
    char character;
    std::array<unsigned char, kGlyphHeight> rows;
};

constexpr std::array<Glyph, 12> kGlyphs{{
    {'0', {0b111, 0b101, 0b101, 0b101, 0b111}},
    {'1', {0b010, 0b110, 0b010, 0b010, 0b111}},
    {'2', {0b111, 0b001, 0b111, 0b100, 0b111}},
    {'3', {0b111, 0b001, 0b011, 0b001, 0b111}},
    {'4', {0b101, 0b101, 0b111, 0b001, 0b001}},
    {'5', {0b111, 0b100, 0b111, 0b001, 0b111}},
    {'6', {0b111, 0b100, 0b111, 0b101, 0b111}},
    {'7', {0b111, 0b001, 0b010, 0b010, 0b010}},
    {'8', {0b111, 0b101, 0b111, 0b101, 0b111}},
    {'9', {0b111, 0b101, 0b111, 0b001, 0b111}},
    {'.', {0b000, 0b000, 0b000, 0b000, 0b010}},
    {'s', {0b000, 0b111, 0b100, 0b011, 0b111}},
}};

const Glyph* findGlyph(char character) {
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == character) {
            return &glyph;
        }
    }
    return nullptr;
}

} // namespace

int textWidth(std::string_view text, int scale) {
    if (text.empty()) {
        return 0;
    }
    return static_cast<int>(text.size()) * (kGlyphWidth + 1) * scale - scale;
}

void drawText(Canvas& canvas, int x, int y, std::string_view text, int scale, Rgb colour) {
    for (char character : text) {
        if (const Glyph* glyph = findGlyph(character)) {
            for (int row = 0; row < kGlyphHeight; ++row) {
                for (int column = 0; column < kGlyphWidth; ++column) {
                    if ((glyph->rows[row] >> (kGlyphWidth - 1 - column)) & 1) {
                        canvas.fill(x + column * scale, y + row * scale, x + (column + 1) * scale - 1,
                                    y + (row + 1) * scale - 1, colour);
                    }
                }
            }
        }
        x += (kGlyphWidth + 1) * scale;
    }
}

} // namespace zcli
