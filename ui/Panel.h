// A container filled with its colour, with an optional 1-pixel raised or lowered bevel inside its edge.
#pragma once

#include "ui/Control.h"

namespace ui {

enum class Bevel { None, Raised, Lowered };

class TPanel : public TWinControl {
public:
    explicit TPanel(TWinControl& parent) : TWinControl(parent) {}

    Bevel bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(Bevel bevel);
    Bevel bevelInner() const { return bevelInner_; }
    void setBevelInner(Bevel bevel);

protected:
    void paint(Canvas& canvas) override;

private:
    Bevel bevelOuter_ = Bevel::Raised;
    Bevel bevelInner_ = Bevel::None;
};

} // namespace ui
