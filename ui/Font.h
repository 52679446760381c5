// Fonts compiled into the binary: the plug-in reads no font files. Liberation Sans, metric-compatible with
// Arial, stands in for "Arial" and for "MS Sans Serif"; the faces are pre-rendered at the pixel heights the
// editor uses (tools/fontgen writes them into ui/fonts/).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/Color.h"

namespace ui {

// One pre-rendered character: an anti-aliased coverage box placed relative to the pen position on the
// baseline.
struct Glyph {
    std::int16_t advance; // pen movement to the next character
    std::int8_t left;     // first column of the box, right of the pen
    std::int8_t top;      // first row of the box, above the baseline
    std::uint8_t width;
    std::uint8_t height;
    std::uint32_t offset; // first coverage byte of the box in the face's coverage table, rows top to bottom
};

struct FontFace {
    int pixelHeight; // em size in pixels (Windows' negative font height)
    bool bold;
    int lineHeight; // height of one text line, as the layout was designed with
    int ascent;     // baseline, counted from the top of a line
    char firstChar;
    int glyphCount;
    const Glyph* glyphs;
    const std::uint8_t* coverage; // 0 transparent .. 255 solid

    // Characters outside the table are drawn as '?'.
    const Glyph& glyph(char c) const;
    int textWidth(std::string_view text) const;
};

// What a control asks for. Any font name maps to the same embedded family, so there is no name.
struct Font {
    int height = 11; // em size in pixels
    bool bold = false;
    Color color = clWindowText;
    friend bool operator==(const Font&, const Font&) = default;
};

// Every embedded face (ui/fonts/faces.cpp, generated).
std::span<const FontFace* const> embeddedFaces();

// The embedded face of the requested weight whose pixel height is nearest (the smaller one on a tie).
const FontFace& faceFor(const Font& font);

} // namespace ui
