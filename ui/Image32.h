// A container showing a 32-bit pixel map at its top-left corner over its colour. Code draws into the map
// through canvas() and calls invalidate() to have it shown.
#pragma once

#include "ui/Control.h"

namespace ui {

class TImage32 : public TWinControl {
public:
    explicit TImage32(TWinControl& parent) : TWinControl(parent) {}

    // Empty until given one; the control may be larger or smaller than its map.
    PixelMap& bitmap() { return bitmap_; }
    const PixelMap& bitmap() const { return bitmap_; }
    void setBitmap(PixelMap bitmap);
    // Draws into the map, not onto the screen.
    Canvas canvas() { return Canvas(bitmap_); }

protected:
    void paint(Canvas& canvas) override;

private:
    PixelMap bitmap_;
};

} // namespace ui
