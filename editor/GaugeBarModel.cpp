#include "editor/GaugeBarModel.h"

#include <algorithm>

#include "vst/DVstUtils.h"

namespace editor {

int repeatIntervalMs(RepeatMode mode) {
    switch (mode) {
    case RepeatMode::InitialDelay: return kInitialDelayMs;
    case RepeatMode::Repeating: return kRepeatMs;
    case RepeatMode::HoverWatch: return kHoverWatchMs;
    case RepeatMode::Stopped: break;
    }
    return 0;
}

GaugeBarModel::GaugeBarModel(BarKind kind, int width, int height, Observer& observer)
    : kind_(kind), width_(std::max(width, 0)), height_(std::max(height, 0)), observer_(observer) {}

void GaugeBarModel::setSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    observer_.barNeedsRepaint();
}

bool GaugeBarModel::setRange(int min, int max) {
    if (max <= min) {
        return false;
    }
    min_ = min;
    max_ = max;
    setPosition(position_);
    observer_.barNeedsRepaint();
    return true;
}

void GaugeBarModel::setPosition(int position) {
    const int clamped = std::clamp(position, min_, max_);
    if (clamped == position_) {
        return;
    }
    position_ = clamped;
    observer_.barNeedsRepaint();
    observer_.barPositionChanged(userChange_);
}

void GaugeBarModel::setSmallChange(int step) {
    smallChange_ = std::max(step, 1);
}

void GaugeBarModel::setLargeChange(int step) {
    largeChange_ = std::max(step, 1);
}

void GaugeBarModel::setHandleSize(int size) {
    handleSize_ = std::max(size, 0);
    observer_.barNeedsRepaint();
}

int GaugeBarModel::trackLength() const {
    return kind_ == BarKind::Vertical ? height_ : width_;
}

int GaugeBarModel::handleLength() const {
    const int track = trackLength();
    int length = handleSize_ != 0 ? handleSize_ : (kind_ == BarKind::Vertical ? width_ : height_);
    if (track - length - 1 < 0) {
        length = track - 1;
    }
    return std::max(length, 0);
}

int GaugeBarModel::handleOffset() const {
    const long travel = static_cast<long>(trackLength() - handleLength()) * (position_ - min_);
    return static_cast<int>(vst::roundHalfEven(static_cast<double>(travel) / (max_ - min_)));
}

bool GaugeBarModel::contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
}

BarZone GaugeBarModel::hitTest(int x, int y) const {
    if (!contains(x, y)) {
        return BarZone::None;
    }
    const int along = kind_ == BarKind::Vertical ? y : x;
    const int handleStart = handleOffset();
    const int handleEnd = handleStart + handleLength();
    if (along >= handleStart && along < handleEnd) {
        return BarZone::Handle;
    }
    if (along > 0 && along < handleStart) {
        return BarZone::TrackBefore;
    }
    if (along >= handleEnd && along < trackLength() - 1) {
        return BarZone::TrackAfter;
    }
    return BarZone::None;
}

void GaugeBarModel::setRepeat(RepeatMode mode) {
    repeat_ = mode;
    observer_.barRepeatChanged(mode);
}

void GaugeBarModel::setPositionByUser(int position) {
    userChange_ = true;
    setPosition(position);
    userChange_ = false;
}

void GaugeBarModel::step() {
    // Paging goes on only while the pointer stays on the part of the track that was pressed, so the
    // handle stops once it has reached the pointer.
    const int x = std::clamp(pointerX_, 0, std::max(width_ - 1, 0));
    const int y = std::clamp(pointerY_, 0, std::max(height_ - 1, 0));
    if (pressed_ == BarZone::TrackBefore && hitTest(x, y) == BarZone::TrackBefore) {
        setPositionByUser(position_ - largeChange_);
    } else if (pressed_ == BarZone::TrackAfter && hitTest(x, y) == BarZone::TrackAfter) {
        setPositionByUser(position_ + largeChange_);
    }
}

void GaugeBarModel::mouseDown(int x, int y, bool leftButtonAlone) {
    if (!leftButtonAlone) {
        return;
    }
    pressed_ = hitTest(x, y);
    pressX_ = x;
    pressY_ = y;
    pointerX_ = x;
    pointerY_ = y;
    observer_.barNeedsRepaint();
    step();
    if (pressed_ == BarZone::Handle) {
        pressPosition_ = static_cast<float>(position_);
        setRepeat(RepeatMode::HoverWatch);
    } else {
        setRepeat(RepeatMode::InitialDelay);
    }
}

void GaugeBarModel::mouseMove(int x, int y) {
    pointerX_ = x;
    pointerY_ = y;
    if (pressed_ == BarZone::Handle) {
        const int travel = trackLength() - handleLength();
        if (travel <= 0) {
            return;
        }
        const int delta = kind_ == BarKind::Vertical ? y - pressY_ : x - pressX_;
        const double moved = static_cast<double>(delta) * (max_ - min_) / travel;
        setPositionByUser(static_cast<int>(vst::roundHalfEven(pressPosition_ + moved)));
        return;
    }
    if (pressed_ == BarZone::None) {
        const BarZone zone = hitTest(x, y);
        if (zone != hot_) {
            hot_ = zone;
            if (zone != BarZone::None) {
                setRepeat(RepeatMode::HoverWatch);
            }
            observer_.barNeedsRepaint();
        }
    }
}

void GaugeBarModel::mouseUp() {
    pressed_ = BarZone::None;
    observer_.barNeedsRepaint();
    setRepeat(RepeatMode::HoverWatch);
}

void GaugeBarModel::mouseLeave() {
    pointerX_ = -1;
    pointerY_ = -1;
    setRepeat(RepeatMode::Stopped);
    hot_ = BarZone::None;
    observer_.barNeedsRepaint();
}

void GaugeBarModel::wheel(int delta) {
    setPosition(position_ + delta * smallChange_ / 120);
}

void GaugeBarModel::repeatTimerTick() {
    switch (repeat_) {
    case RepeatMode::Stopped: return;
    case RepeatMode::InitialDelay: setRepeat(RepeatMode::Repeating); break;
    case RepeatMode::Repeating: break;
    case RepeatMode::HoverWatch:
        if (!contains(pointerX_, pointerY_)) {
            setRepeat(RepeatMode::Stopped);
            hot_ = BarZone::None;
            observer_.barNeedsRepaint();
        }
        break;
    }
    step();
}

} // namespace editor
