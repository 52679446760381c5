// The slider control of the editor: a gauge bar in a child window of its own. Behaviour lives in
// GaugeBarModel, the look in paintGaugeBar; this class joins them to the toolkit's mouse, timer and paint.
// Runs on the window's thread.
#pragma once

#include <functional>

#include "editor/GaugeBarModel.h"
#include "editor/GaugeBarPainter.h"
#include "ui/Control.h"
#include "ui/Timer.h"

namespace editor {

class TGaugeBar : public ui::TWinControl, private GaugeBarModel::Observer {
public:
    TGaugeBar(ui::TWinControl& parent, BarKind kind);

    BarKind kind() const { return model_.kind(); }
    int min() const { return model_.min(); }
    int max() const { return model_.max(); }
    bool setRange(int min, int max) { return model_.setRange(min, max); }
    int position() const { return model_.position(); }
    // Fires OnChange when the clamped value differs, exactly as a change by the mouse does.
    void setPosition(int position) { model_.setPosition(position); }
    void setSmallChange(int step) { model_.setSmallChange(step); }
    void setLargeChange(int step) { model_.setLargeChange(step); }
    void setHandleSize(int size) { model_.setHandleSize(size); }
    ui::Color handleColor() const { return look_.handle; }
    void setHandleColor(ui::Color color);
    void setShowHandleGrip(bool show);
    // The track colour is the control's own colour.
    const GaugeBarModel& model() const { return model_; }

    void setBounds(int left, int top, int width, int height) override;

    // After every change of the position.
    std::function<void()> OnChange;
    // Only after changes made by dragging or paging.
    std::function<void()> OnUserChange;

protected:
    void paint(ui::Canvas& canvas) override;
    void mouseDown(ui::MouseButton button, ui::ShiftState shift, int x, int y) override;
    void mouseMove(ui::ShiftState shift, int x, int y) override;
    void mouseUp(ui::MouseButton button, ui::ShiftState shift, int x, int y) override;
    void mouseLeave() override;
    bool mouseWheel(ui::ShiftState shift, int delta, int x, int y) override;

private:
    void barNeedsRepaint() override { invalidate(); }
    void barPositionChanged(bool byUser) override;
    void barRepeatChanged(RepeatMode mode) override;

    GaugeBarModel model_;
    GaugeBarLook look_;
    ui::TTimer repeatTimer_;
};

} // namespace editor
