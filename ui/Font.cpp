#include "ui/Font.h"

#include <cstdlib>

namespace ui {

const Glyph& FontFace::glyph(char c) const {
    const int index = static_cast<unsigned char>(c) - static_cast<unsigned char>(firstChar);
    if (index >= 0 && index < glyphCount) {
        return glyphs[index];
    }
    return glyphs['?' - firstChar];
}

int FontFace::textWidth(std::string_view text) const {
    int width = 0;
    for (char c : text) {
        width += glyph(c).advance;
    }
    return width;
}

const FontFace& faceFor(const Font& font) {
    const FontFace* best = nullptr;
    for (const FontFace* face : embeddedFaces()) {
        if (face->bold != font.bold) {
            continue;
        }
        const int distance = std::abs(face->pixelHeight - font.height);
        if (best == nullptr || distance < std::abs(best->pixelHeight - font.height) ||
            (distance == std::abs(best->pixelHeight - font.height) &&
             face->pixelHeight < best->pixelHeight)) {
            best = face;
        }
    }
    // Every weight is embedded (ui/fonts/faces.cpp), so a face is always found.
    return *best;
}

} // namespace ui
