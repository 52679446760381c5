// The retro pixel lettering painted into the editor's pictures: a 5 x 7 face for captions and the title, a
// 3 x 5 face for the small print, each letter shaded top to bottom from one colour to another over a drop
// shadow. Upper-case letters only; lower case is drawn as upper case, unknown characters as blanks.
#pragma once

#include <string_view>

#include "ui/PixelMap.h"

namespace editor::art {

enum class LetterFace { Caption, Small };

struct LetteringStyle {
    LetterFace face = LetterFace::Caption;
    int scale = 1; // every font pixel becomes scale x scale pixels
    ui::Color top = 0;
    ui::Color bottom = 0;
    ui::Color shadow = 0;
    bool outline = false; // a shadow-coloured ring around every letter, for large lettering
};

// Width in pixels of `text`, from the left edge of its first letter to the right edge of its last.
int letteringWidth(std::string_view text, const LetteringStyle& style);
int letteringHeight(const LetteringStyle& style);

// Paints `text` with its top-left corner at (x, y); pixels outside the map are dropped.
void drawLettering(ui::PixelMap& map, int x, int y, std::string_view text, const LetteringStyle& style);

} // namespace editor::art
