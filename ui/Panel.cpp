#include "ui/Panel.h"

namespace ui {

namespace {

// One ring of bevel just inside `r`; returns the rectangle inside the ring.
Rect drawBevel(Canvas& canvas, Rect r, Bevel bevel) {
    if (bevel == Bevel::None || r.empty()) {
        return r;
    }
    const Color light = bevel == Bevel::Raised ? clBtnHighlight : clBtnShadow;
    const Color dark = bevel == Bevel::Raised ? clBtnShadow : clBtnHighlight;
    canvas.pen.color = light;
    canvas.moveTo(r.left, r.bottom - 1);
    canvas.lineTo(r.left, r.top);
    canvas.lineTo(r.right - 1, r.top);
    canvas.pen.color = dark;
    canvas.lineTo(r.right - 1, r.bottom - 1);
    canvas.lineTo(r.left, r.bottom - 1);
    return {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

} // namespace

void TPanel::setBevelOuter(Bevel bevel) {
    bevelOuter_ = bevel;
    invalidate();
}

void TPanel::setBevelInner(Bevel bevel) {
    bevelInner_ = bevel;
    invalidate();
}

void TPanel::paint(Canvas& canvas) {
    canvas.brush.color = color();
    canvas.fillRect(clientRect());
    drawBevel(canvas, drawBevel(canvas, clientRect(), bevelOuter_), bevelInner_);
}

} // namespace ui
