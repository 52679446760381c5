// A picture control. Without a picture it draws nothing and serves as a transparent click area.
#pragma once

#include "ui/Control.h"

namespace ui {

class TImage : public TControl {
public:
    explicit TImage(TWinControl& parent) : TControl(parent) {}

    // Shown at the control's top-left corner, clipped to the control.
    void setPicture(PixelMap picture);
    void clearPicture();
    bool hasPicture() const { return !picture_.empty(); }

protected:
    void paint(Canvas& canvas) override;

private:
    PixelMap picture_;
};

} // namespace ui
