// A periodic timer of a form, ticking on the window's thread. It runs while Enabled and its form has a
// window.
#pragma once

#include <functional>

namespace ui {

class TControl;
class TForm;

class TTimer {
public:
    // The timer belongs to the form of `owner`; a control that hangs in no form gets a timer that never
    // ticks.
    explicit TTimer(TControl& owner);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    int interval() const { return interval_; }
    // Milliseconds; restarts the period. 0 or less stops the timer until a positive interval is set.
    void setInterval(int milliseconds);
    bool enabled() const { return enabled_; }
    // Enabling starts a fresh period.
    void setEnabled(bool enabled);
    // Whether ticks are coming.
    bool running() const;

    std::function<void()> OnTimer;

private:
    friend class TForm;
    void restart();
    void tick();

    TForm* form_;
    int id_ = 0;
    int interval_ = 1000;
    bool enabled_ = true;
};

} // namespace ui
