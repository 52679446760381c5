#include "ui/Control.h"

#include <algorithm>

#include "ui/Form.h"

namespace ui {

TControl::TControl(TWinControl& parent) : parent_(&parent) {
    parent.children_.push_back(this);
}

TControl::~TControl() {
    if (parent_ == nullptr) {
        return;
    }
    if (TForm* owner = form()) {
        owner->forget(*this);
    }
    invalidate();
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
}

TWinControl::~TWinControl() {
    if (TForm* owner = form(); owner != nullptr && owner != this) {
        owner->forget(*this);
    }
    // Children still alive (declared before their container) stay behind without a tree.
    for (TControl* child : children_) {
        child->parent_ = nullptr;
    }
}

void TControl::setBounds(int left, int top, int width, int height) {
    const Rect bounds = Rect::fromSize(left, top, std::max(width, 0), std::max(height, 0));
    if (bounds == bounds_) {
        return;
    }
    invalidate();
    bounds_ = bounds;
    invalidate();
}

void TControl::setVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        invalidate();
    }
}

void TControl::setEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        invalidate();
    }
}

void TControl::setCursor(Cursor cursor) {
    cursor_ = cursor;
    if (TForm* owner = form()) {
        owner->updateCursor();
    }
}

void TControl::setColor(Color color) {
    if (color != color_) {
        color_ = color;
        invalidate();
    }
}

TForm* TControl::form() const {
    const TControl* root = this;
    while (root->parent_ != nullptr) {
        root = root->parent_;
    }
    return dynamic_cast<TForm*>(const_cast<TControl*>(root));
}

bool TControl::isWithin(const TControl& ancestor) const {
    for (const TControl* c = this; c != nullptr; c = c->parent_) {
        if (c == &ancestor) {
            return true;
        }
    }
    return false;
}

Point TControl::windowOrigin() const {
    Point origin;
    for (const TControl* c = this; c != nullptr; c = c->parent_) {
        origin.x += c->bounds_.left;
        origin.y += c->bounds_.top;
    }
    return origin;
}

void TControl::invalidate() {
    if (TForm* owner = form()) {
        const Point origin = windowOrigin();
        owner->invalidateArea(clientRect().offset(origin.x, origin.y));
    }
}

void TControl::paint(Canvas& /*canvas*/) {}

void TControl::mouseDown(MouseButton button, ShiftState shift, int x, int y) {
    if (OnMouseDown) {
        OnMouseDown(button, shift, x, y);
    }
}

void TControl::mouseMove(ShiftState shift, int x, int y) {
    if (OnMouseMove) {
        OnMouseMove(shift, x, y);
    }
}

void TControl::mouseUp(MouseButton button, ShiftState shift, int x, int y) {
    if (OnMouseUp) {
        OnMouseUp(button, shift, x, y);
    }
}

void TControl::click() {
    if (OnClick) {
        OnClick();
    }
}

void TControl::mouseEnter() {
    if (OnMouseEnter) {
        OnMouseEnter();
    }
}

void TControl::mouseLeave() {
    if (OnMouseLeave) {
        OnMouseLeave();
    }
}

bool TControl::mouseWheel(ShiftState shift, int delta, int x, int y) {
    return OnMouseWheel ? OnMouseWheel(shift, delta, x, y) : false;
}

TControl* TWinControl::controlAt(Point p) {
    if (!clientRect().contains(p)) {
        return nullptr;
    }
    auto takesInput = [p](const TControl* c) { return c->visible_ && c->enabled_ && c->bounds_.contains(p); };
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if (TWinControl* container = (*it)->asContainer(); container != nullptr && takesInput(container)) {
            return container->controlAt({p.x - container->left(), p.y - container->top()});
        }
    }
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if ((*it)->asContainer() == nullptr && takesInput(*it)) {
            return *it;
        }
    }
    return this;
}

void TWinControl::paintTree(Canvas& own) {
    paint(own);
    for (TControl* child : children_) {
        if (child->asContainer() == nullptr && child->visible_) {
            Canvas canvas = own.region(child->bounds_);
            if (!canvas.clipRect().empty()) {
                child->paint(canvas);
            }
        }
    }
    for (TControl* child : children_) {
        if (TWinControl* container = child->asContainer(); container != nullptr && child->visible_) {
            Canvas canvas = own.region(child->bounds_);
            if (!canvas.clipRect().empty()) {
                container->paintTree(canvas);
            }
        }
    }
}

} // namespace ui
