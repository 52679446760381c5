#include "ui/Image.h"

namespace ui {

void TImage::setPicture(PalettePicture picture) {
    picture_ = std::move(picture);
    invalidate();
}

void TImage::setPicture(PixelMap picture) {
    picture_ = std::move(picture);
    invalidate();
}

void TImage::clearPicture() {
    picture_ = std::monostate{};
    invalidate();
}

void TImage::paint(Canvas& canvas) {
    if (const auto* palette = std::get_if<PalettePicture>(&picture_)) {
        canvas.draw(0, 0, *palette);
    } else if (const auto* pixels = std::get_if<PixelMap>(&picture_)) {
        canvas.draw(0, 0, *pixels);
    }
}

} // namespace ui
