// A tiny bitmap font of our own for the plot's time axis: the digits, the decimal point and "s".
#pragma once

#include "tools/zephyrion/canvas.h"

#include <string_view>

namespace zcli {

inline constexpr int kGlyphWidth = 3;
inline constexpr int kGlyphHeight = 5;

// Width in pixels of text drawn at the given scale, one blank column between glyphs.
int textWidth(std::string_view text, int scale);

// Draws text with its top-left corner at (x, y); characters outside the font are left blank.
void drawText(Canvas& canvas, int x, int y, std::string_view text, int scale, Rgb colour);

} // namespace zcli
