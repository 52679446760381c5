// The top of a control tree: a fixed-size child window inside a host's native window. The form owns the
// native window and a frame of pixels; it paints what was invalidated into the frame and presents it at the
// end of every event, and routes the pointer to its controls:
// - a press goes to the topmost control under the pointer, which then captures the mouse: its moves and the
//   releases reach it until the last button is up, wherever the pointer is;
// - OnClick follows a left press and release on the same control (not for a double click's press);
// - enter and leave follow the control under the pointer, held back while the mouse is captured;
// - the wheel goes to the control under the pointer and travels up to its parents until one handles it;
// - the cursor is that of the control under the pointer, or of the capturing control.
// Which window system backs it is chosen at link time (zephyrion_ui_headless or zephyrion_ui_native).
// Everything runs on the thread that created the form.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "ui/Control.h"
#include "ui/platform/NativeWindow.h"

namespace ui {

class TTimer;

class TForm : public TWinControl, private platform::WindowEvents {
public:
    // Creates the window as a child of the host's native window `parentWindow`, hidden. When the window
    // system cannot give one, the form still works but shows nothing and its timers do not tick.
    TForm(void* parentWindow, int clientWidth, int clientHeight);
    ~TForm() override;

    // Null when no window could be created.
    platform::NativeWindow* nativeWindow() const { return window_.get(); }

    // Shows or hides the window; becoming visible runs OnShow.
    void show();
    void hide();
    std::function<void()> OnShow;

    // Delivers pending window-system events and timer ticks, then paints. Called at the host's idle.
    void pumpEvents();
    // Paints whatever was invalidated and presents the frame; nothing when nothing is pending.
    void update();
    // The last painted frame.
    const PixelMap& frame() const { return frame_; }

    // The window keeps the size it was created with and its place in the host's window.
    void setBounds(int left, int top, int width, int height) override;

protected:
    void paint(Canvas& canvas) override;

private:
    friend class TControl;
    friend class TWinControl;
    friend class TTimer;

    void onPointer(const platform::PointerEvent& event) override;
    void onTimer(int timerId) override;

    void press(const platform::PointerEvent& event);
    void release(const platform::PointerEvent& event);
    void move(const platform::PointerEvent& event);
    void wheel(const platform::PointerEvent& event);
    void setHot(TControl* control);
    void updateCursor();
    Point localPointer(const TControl& control) const;
    // The control the event is for at the form's pointer position, null outside the window.
    TControl* controlUnderPointer();

    // From controls and timers.
    void invalidateArea(const Rect& windowArea);
    void forget(const TControl& control);
    int addTimer(TTimer& timer);
    void removeTimer(int id);
    void startTimer(int id, int intervalMs);
    void stopTimer(int id);
    bool timerRunning(int id) const;

    std::unique_ptr<platform::NativeWindow> window_;
    PixelMap frame_;
    Rect dirty_;
    bool shown_ = false;
    Point pointer_;
    TControl* captured_ = nullptr;
    TControl* hot_ = nullptr;
    TControl* clickCandidate_ = nullptr;
    std::map<int, TTimer*> timers_;
    std::set<int> runningTimers_;
    Cursor shownCursor_ = crDefault;
    int nextTimerId_ = 1;
};

} // namespace ui
