#include "ui/Image.h"

namespace ui {

void TImage::setPicture(PixelMap picture) {
    picture_ = std::move(picture);
    invalidate();
}

void TImage::clearPicture() {
    picture_ = PixelMap();
    invalidate();
}

void TImage::paint(Canvas& canvas) {
    canvas.draw(0, 0, picture_);
}

} // namespace ui
