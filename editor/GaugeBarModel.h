// The gauge bar's behaviour without any window: geometry, hit test, dragging, paging with its repeat timer,
// and the wheel. TGaugeBar feeds it the mouse and timer events of its window and paints what it says.
// Everything here runs on the window's thread.
#pragma once

namespace editor {

enum class BarKind { Horizontal, Vertical };

// Where a point of the bar lies. The editor's bars have no arrow buttons, so no arrow zones exist.
enum class BarZone { None, TrackBefore, Handle, TrackAfter };

// The one repeat timer: a delay after a press, then fast repeats while paging, and a slower watch that
// notices when the pointer has gone.
enum class RepeatMode { Stopped, InitialDelay, Repeating, HoverWatch };

constexpr int kInitialDelayMs = 600;
constexpr int kRepeatMs = 100;
constexpr int kHoverWatchMs = 150;

class GaugeBarModel {
public:
    // What the model asks of the control showing it; each call is made at once, from inside the event.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void barNeedsRepaint() = 0;
        // After every change of the position; `byUser` for a drag or a page step, not for the wheel or code.
        virtual void barPositionChanged(bool byUser) = 0;
        // The repeat timer is to run in `mode` with a fresh period (or stop, for RepeatMode::Stopped).
        virtual void barRepeatChanged(RepeatMode mode) = 0;
    };

    GaugeBarModel(BarKind kind, int width, int height, Observer& observer);

    BarKind kind() const { return kind_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setSize(int width, int height);

    int min() const { return min_; }
    int max() const { return max_; }
    // Refuses (answers false, changes nothing) a range whose maximum is not above its minimum.
    bool setRange(int min, int max);
    int position() const { return position_; }
    // Clamps into the range; a real change repaints and reports, the same value does nothing.
    void setPosition(int position);
    int smallChange() const { return smallChange_; }
    int largeChange() const { return largeChange_; }
    // Steps below 1 count as 1.
    void setSmallChange(int step);
    void setLargeChange(int step);
    int handleSize() const { return handleSize_; }
    // 0 makes the handle as long as the bar is thick; negative sizes count as 0.
    void setHandleSize(int size);

    // Geometry along the direction of travel, in client pixels.
    int trackLength() const;
    int handleLength() const;
    int handleOffset() const;
    BarZone hitTest(int x, int y) const;

    BarZone pressedZone() const { return pressed_; }
    BarZone hotZone() const { return hot_; }
    RepeatMode repeatMode() const { return repeat_; }

    // Mouse events in client coordinates. Only a press of the left button with no key and no other button
    // held (`leftButtonAlone`) does anything.
    void mouseDown(int x, int y, bool leftButtonAlone);
    void mouseMove(int x, int y);
    void mouseUp();
    void mouseLeave();
    // `delta` in the wheel's units, 120 per notch; positive (away from the user) raises the position.
    void wheel(int delta);
    void repeatTimerTick();

private:
    bool contains(int x, int y) const;
    void setRepeat(RepeatMode mode);
    void setPositionByUser(int position);
    void step();

    BarKind kind_;
    int width_;
    int height_;
    Observer& observer_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int smallChange_ = 1;
    int largeChange_ = 1;
    int handleSize_ = 0;
    BarZone pressed_ = BarZone::None;
    BarZone hot_ = BarZone::None;
    RepeatMode repeat_ = RepeatMode::Stopped;
    int pressX_ = 0;
    int pressY_ = 0;
    float pressPosition_ = 0.0f;
    int pointerX_ = -1;
    int pointerY_ = -1;
    bool userChange_ = false;
};

int repeatIntervalMs(RepeatMode mode);

} // namespace editor
