// The control tree. Every control lives inside a parent container and is given its place in the parent's
// coordinates. Controls are usually members of the form class that shows them: constructed in creation order,
// each one registers with its parent and leaves it again when destroyed.
//
// Stacking inside a container: plain controls (TControl: pictures, labels) lie in creation order, later above
// earlier; containers (TWinControl: sliders, 32-bit images, panels) lie above all plain controls of the same
// parent, again in creation order. Painting and hit testing both follow this order.
//
// Everything here runs on the window's thread.
#pragma once

#include <functional>
#include <vector>

#include "ui/Canvas.h"
#include "ui/Geometry.h"
#include "ui/Input.h"

namespace ui {

class TWinControl;
class TForm;

class TControl {
public:
    explicit TControl(TWinControl& parent);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.width(); }
    int height() const { return bounds_.height(); }
    void setLeft(int left) { setBounds(left, top(), width(), height()); }
    void setTop(int top) { setBounds(left(), top, width(), height()); }
    void setWidth(int width) { setBounds(left(), top(), width, height()); }
    void setHeight(int height) { setBounds(left(), top(), width(), height); }
    // Negative sizes count as 0.
    virtual void setBounds(int left, int top, int width, int height);
    // In the parent's coordinates.
    Rect boundsRect() const { return bounds_; }
    Rect clientRect() const { return {0, 0, width(), height()}; }

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // A disabled control takes no mouse input; its events go to what lies below it.
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    Cursor cursor() const { return cursor_; }
    void setCursor(Cursor cursor);
    Color color() const { return color_; }
    void setColor(Color color);

    TWinControl* parent() const { return parent_; }
    // The form at the root of the tree, or null while the control hangs in no form.
    TForm* form() const;
    // The control's top-left corner in window coordinates.
    Point windowOrigin() const;

    // Asks for a repaint of the whole control; the form paints at the end of the current event.
    void invalidate();

    // Mouse handlers, coordinates in the control's own pixels. OnClick: a left press and release on this
    // same control. OnMouseWheel: delta in 1/120 notches, positive away from the user; true when handled.
    std::function<void(MouseButton, ShiftState, int x, int y)> OnMouseDown;
    std::function<void(ShiftState, int x, int y)> OnMouseMove;
    std::function<void(MouseButton, ShiftState, int x, int y)> OnMouseUp;
    std::function<void()> OnClick;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;
    std::function<bool(ShiftState, int delta, int x, int y)> OnMouseWheel;

    // Containers answer themselves; plain controls null.
    virtual TWinControl* asContainer() { return nullptr; }

protected:
    // Draws the control; the canvas's origin is the control's top-left corner and it is clipped to the part
    // that needs painting. Children are painted afterwards by the form.
    virtual void paint(Canvas& canvas);

    // Called by the form as the events arrive; the base versions run the On... handlers above. A derived
    // control overrides them to add its own behaviour and calls the base where the handler should run.
    virtual void mouseDown(MouseButton button, ShiftState shift, int x, int y);
    virtual void mouseMove(ShiftState shift, int x, int y);
    virtual void mouseUp(MouseButton button, ShiftState shift, int x, int y);
    virtual void click();
    virtual void mouseEnter();
    virtual void mouseLeave();
    // Unhandled wheel turns travel on to the parent.
    virtual bool mouseWheel(ShiftState shift, int delta, int x, int y);

private:
    friend class TWinControl;
    friend class TForm;
    // Only for the form, which has no parent.
    TControl() = default;
    bool isWithin(const TControl& ancestor) const;

    TWinControl* parent_ = nullptr;
    Rect bounds_;
    bool visible_ = true;
    bool enabled_ = true;
    Cursor cursor_ = crDefault;
    Color color_ = clBtnFace;
};

// A control that holds other controls and lies above the plain controls of its parent.
class TWinControl : public TControl {
public:
    explicit TWinControl(TWinControl& parent) : TControl(parent) {}
    ~TWinControl() override;

    TWinControl* asContainer() override { return this; }
    // In creation order.
    const std::vector<TControl*>& children() const { return children_; }
    // The topmost visible, enabled control at `p` (this container's coordinates), searching children's
    // children; this container itself when no child is there, null when p lies outside it.
    TControl* controlAt(Point p);

protected:
    TWinControl() = default;

private:
    friend class TControl;
    friend class TForm;
    // Paints this container, then its plain children, then its containers; `own` is this container's canvas.
    void paintTree(Canvas& own);

    std::vector<TControl*> children_;
};

} // namespace ui
