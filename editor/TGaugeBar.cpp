#include "editor/TGaugeBar.h"

namespace editor {

TGaugeBar::TGaugeBar(ui::TWinControl& parent, BarKind kind)
    : ui::TWinControl(parent), model_(kind, 0, 0, *this), repeatTimer_(*this) {
    repeatTimer_.setEnabled(false);
    repeatTimer_.OnTimer = [this] { model_.repeatTimerTick(); };
    setColor(look_.track);
}

void TGaugeBar::setHandleColor(ui::Color color) {
    look_.handle = color;
    invalidate();
}

void TGaugeBar::setShowHandleGrip(bool show) {
    look_.grip = show;
    invalidate();
}

void TGaugeBar::setBounds(int left, int top, int width, int height) {
    ui::TWinControl::setBounds(left, top, width, height);
    model_.setSize(this->width(), this->height());
}

void TGaugeBar::paint(ui::Canvas& canvas) {
    look_.track = color();
    paintGaugeBar(canvas, model_, look_);
}

void TGaugeBar::mouseDown(ui::MouseButton button, ui::ShiftState shift, int x, int y) {
    model_.mouseDown(x, y, button == ui::mbLeft && shift == ui::ssLeft);
    ui::TWinControl::mouseDown(button, shift, x, y);
}

void TGaugeBar::mouseMove(ui::ShiftState shift, int x, int y) {
    // The status line follows the pointer before the handle does.
    ui::TWinControl::mouseMove(shift, x, y);
    model_.mouseMove(x, y);
}

void TGaugeBar::mouseUp(ui::MouseButton button, ui::ShiftState shift, int x, int y) {
    model_.mouseUp();
    ui::TWinControl::mouseUp(button, shift, x, y);
}

void TGaugeBar::mouseLeave() {
    model_.mouseLeave();
    ui::TWinControl::mouseLeave();
}

bool TGaugeBar::mouseWheel(ui::ShiftState shift, int delta, int x, int y) {
    if (!ui::TWinControl::mouseWheel(shift, delta, x, y)) {
        model_.wheel(delta);
    }
    return true;
}

void TGaugeBar::barPositionChanged(bool byUser) {
    if (OnChange) {
        OnChange();
    }
    if (byUser && OnUserChange) {
        OnUserChange();
    }
}

void TGaugeBar::barRepeatChanged(RepeatMode mode) {
    if (mode == RepeatMode::Stopped) {
        repeatTimer_.setEnabled(false);
        return;
    }
    // Every mode change starts a fresh period, even when the interval stays the same.
    repeatTimer_.setEnabled(false);
    repeatTimer_.setInterval(repeatIntervalMs(mode));
    repeatTimer_.setEnabled(true);
}

} // namespace editor
