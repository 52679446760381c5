// A picture control. Without a picture it draws nothing and serves as a transparent click area.
#pragma once

#include <variant>

#include "ui/Control.h"

namespace ui {

class TImage : public TControl {
public:
    explicit TImage(TWinControl& parent) : TControl(parent) {}

    // Shown at the control's top-left corner, clipped to the control.
    void setPicture(PalettePicture picture);
    void setPicture(PixelMap picture);
    void clearPicture();
    bool hasPicture() const { return !std::holds_alternative<std::monostate>(picture_); }

protected:
    void paint(Canvas& canvas) override;

private:
    std::variant<std::monostate, PalettePicture, PixelMap> picture_;
};

} // namespace ui
