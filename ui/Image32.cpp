#include "ui/Image32.h"

namespace ui {

void TImage32::setBitmap(PixelMap bitmap) {
    bitmap_ = std::move(bitmap);
    invalidate();
}

void TImage32::paint(Canvas& canvas) {
    canvas.brush.color = color();
    canvas.fillRect(clientRect());
    canvas.draw(0, 0, bitmap_);
}

} // namespace ui
