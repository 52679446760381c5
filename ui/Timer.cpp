#include "ui/Timer.h"

#include "ui/Form.h"

namespace ui {

TTimer::TTimer(TControl& owner) : form_(owner.form()) {
    if (form_ != nullptr) {
        id_ = form_->addTimer(*this);
        restart();
    }
}

TTimer::~TTimer() {
    if (form_ != nullptr) {
        form_->removeTimer(id_);
    }
}

// As with Windows timers, setting the value a timer already has leaves its period running undisturbed.
void TTimer::setInterval(int milliseconds) {
    if (milliseconds != interval_) {
        interval_ = milliseconds;
        restart();
    }
}

void TTimer::setEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        restart();
    }
}

bool TTimer::running() const {
    return form_ != nullptr && form_->timerRunning(id_);
}

void TTimer::restart() {
    if (form_ == nullptr) {
        return;
    }
    if (enabled_ && interval_ > 0) {
        form_->startTimer(id_, interval_);
    } else {
        form_->stopTimer(id_);
    }
}

void TTimer::tick() {
    if (OnTimer) {
        OnTimer();
    }
}

} // namespace ui
