#include "ui/Form.h"

#include "ui/Timer.h"

namespace ui {

namespace {

constexpr ShiftState allButtons = ssLeft | ssRight | ssMiddle;

} // namespace

TForm::TForm(void* parentWindow, int clientWidth, int clientHeight) {
    bounds_ = Rect::fromSize(0, 0, std::max(clientWidth, 0), std::max(clientHeight, 0));
    frame_ = PixelMap(width(), height());
    dirty_ = clientRect();
    window_ = platform::createChildWindow(parentWindow, width(), height(), *this);
}

TForm::~TForm() {
    for (int id : runningTimers_) {
        window_->stopTimer(id);
    }
}

void TForm::setBounds(int /*left*/, int /*top*/, int /*width*/, int /*height*/) {}

void TForm::paint(Canvas& canvas) {
    canvas.brush.color = color();
    canvas.fillRect(clientRect());
}

void TForm::show() {
    shown_ = true;
    if (OnShow) {
        OnShow();
    }
    if (window_) {
        window_->show(true);
    }
    invalidate();
    update();
}

void TForm::hide() {
    shown_ = false;
    if (window_) {
        window_->show(false);
    }
}

void TForm::pumpEvents() {
    if (window_) {
        window_->pump();
    }
    update();
}

void TForm::update() {
    dirty_ = dirty_.intersect(clientRect());
    if (dirty_.empty()) {
        return;
    }
    Canvas canvas(frame_);
    canvas.clipTo(dirty_);
    dirty_ = {};
    paintTree(canvas);
    if (window_) {
        window_->present(frame_.data(), frame_.width());
    }
}

void TForm::invalidateArea(const Rect& windowArea) {
    dirty_ = dirty_.unite(windowArea.intersect(clientRect()));
}

void TForm::forget(const TControl& control) {
    if (captured_ != nullptr && captured_->isWithin(control)) {
        captured_ = nullptr;
        if (window_) {
            window_->captureMouse(false);
        }
    }
    if (hot_ != nullptr && hot_->isWithin(control)) {
        hot_ = nullptr;
    }
    if (clickCandidate_ != nullptr && clickCandidate_->isWithin(control)) {
        clickCandidate_ = nullptr;
    }
}

Point TForm::localPointer(const TControl& control) const {
    const Point origin = control.windowOrigin();
    return {pointer_.x - origin.x, pointer_.y - origin.y};
}

TControl* TForm::controlUnderPointer() {
    return controlAt(pointer_);
}

void TForm::onPointer(const platform::PointerEvent& event) {
    if (event.kind != platform::PointerEvent::Kind::Leave) {
        pointer_ = {event.x, event.y};
    }
    switch (event.kind) {
    case platform::PointerEvent::Kind::Press: press(event); break;
    case platform::PointerEvent::Kind::Release: release(event); break;
    case platform::PointerEvent::Kind::Move: move(event); break;
    case platform::PointerEvent::Kind::Wheel: wheel(event); break;
    case platform::PointerEvent::Kind::Leave:
        if (captured_ == nullptr) {
            setHot(nullptr);
        }
        break;
    }
    update();
}

void TForm::press(const platform::PointerEvent& event) {
    // Window systems differ in whether a press reports the button going down; here it always does.
    const ShiftState shift = event.shift | buttonFlag(event.button);
    TControl* target = captured_;
    if (target == nullptr) {
        target = controlUnderPointer();
        if (target == nullptr) {
            return;
        }
        // A press without a move before it still enters the control first.
        setHot(target);
        captured_ = target;
        if (window_) {
            window_->captureMouse(true);
        }
    }
    if (event.button == mbLeft) {
        clickCandidate_ = (shift & ssDouble) == 0 ? target : nullptr;
    }
    const Point local = localPointer(*target);
    target->mouseDown(event.button, shift, local.x, local.y);
}

void TForm::release(const platform::PointerEvent& event) {
    // A release never reports the button coming up, whatever the window system says.
    const ShiftState shift = event.shift & ~buttonFlag(event.button);
    TControl* target = captured_ != nullptr ? captured_ : controlUnderPointer();
    const bool wasCaptured = target != nullptr && target == captured_;
    if (event.button == mbLeft) {
        TControl* candidate = clickCandidate_;
        clickCandidate_ = nullptr;
        if (wasCaptured && candidate == target && controlUnderPointer() == target) {
            target->click();
        }
    }
    // A click handler that destroyed its own control has cleared the capture through forget().
    if (target != nullptr && (!wasCaptured || captured_ == target)) {
        const Point local = localPointer(*target);
        target->mouseUp(event.button, shift, local.x, local.y);
    }
    if ((shift & allButtons) == 0 && captured_ != nullptr) {
        captured_ = nullptr;
        if (window_) {
            window_->captureMouse(false);
        }
        setHot(controlUnderPointer());
    }
    updateCursor();
}

void TForm::move(const platform::PointerEvent& event) {
    if (captured_ == nullptr) {
        setHot(controlUnderPointer());
    }
    TControl* target = captured_ != nullptr ? captured_ : hot_;
    if (target != nullptr) {
        const Point local = localPointer(*target);
        target->mouseMove(event.shift, local.x, local.y);
    }
}

void TForm::wheel(const platform::PointerEvent& event) {
    const int delta = event.wheelDelta * wheelNotch;
    for (TControl* c = controlUnderPointer(); c != nullptr; c = c->parent()) {
        const Point local = localPointer(*c);
        if (c->mouseWheel(event.shift, delta, local.x, local.y)) {
            break;
        }
    }
}

void TForm::setHot(TControl* control) {
    if (control != hot_) {
        TControl* previous = hot_;
        hot_ = control;
        if (previous != nullptr) {
            previous->mouseLeave();
        }
        if (control != nullptr && hot_ == control) {
            control->mouseEnter();
        }
    }
    updateCursor();
}

void TForm::updateCursor() {
    Cursor cursor = crDefault;
    for (const TControl* c = captured_ != nullptr ? captured_ : hot_; c != nullptr; c = c->parent()) {
        if (c->cursor() != crDefault) {
            cursor = c->cursor();
            break;
        }
    }
    if (cursor != shownCursor_) {
        shownCursor_ = cursor;
        if (window_) {
            window_->setCursor(cursor);
        }
    }
}

void TForm::onTimer(int timerId) {
    if (auto it = timers_.find(timerId); it != timers_.end()) {
        it->second->tick();
    }
    update();
}

int TForm::addTimer(TTimer& timer) {
    const int id = nextTimerId_++;
    timers_[id] = &timer;
    return id;
}

void TForm::removeTimer(int id) {
    stopTimer(id);
    timers_.erase(id);
}

void TForm::startTimer(int id, int intervalMs) {
    if (window_) {
        window_->startTimer(id, intervalMs);
        runningTimers_.insert(id);
    }
}

void TForm::stopTimer(int id) {
    if (runningTimers_.erase(id) != 0) {
        window_->stopTimer(id);
    }
}

bool TForm::timerRunning(int id) const {
    return runningTimers_.contains(id);
}

} // namespace ui
