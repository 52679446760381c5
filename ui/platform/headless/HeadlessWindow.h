// A window with no screen behind it, for tests and snapshots. The test plays the window system: it posts
// pointer events (delivered by pump(), as a real backend delivers them at the host's idle), moves a clock
// that fires the timers at their exact due times, and reads back the last frame the toolkit presented.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "ui/platform/NativeWindow.h"

namespace ui::platform::headless {

class HeadlessWindow final : public NativeWindow {
public:
    HeadlessWindow(void* parent, int width, int height, WindowEvents& events);

    // The window under test, or null when `window` is not headless.
    static HeadlessWindow* from(NativeWindow* window);

    // Queued until the next pump().
    void post(const PointerEvent& event);
    // Post and pump in one go. `shift` is the key and button state as the window system would report it.
    void press(int x, int y, MouseButton button = MouseButton::Left, std::uint32_t shift = 0);
    void release(int x, int y, MouseButton button = MouseButton::Left, std::uint32_t shift = 0);
    void moveTo(int x, int y, std::uint32_t shift = 0);
    void wheel(int x, int y, int notches, std::uint32_t shift = 0);
    void leave();

    // Moves the clock forward, firing every timer whose tick falls due on the way, in time order.
    void advance(int milliseconds);
    std::int64_t now() const { return now_; }

    int width() const { return width_; }
    int height() const { return height_; }
    // The last presented frame (black before the first present).
    std::uint32_t pixel(int x, int y) const;
    const std::vector<std::uint32_t>& frame() const { return frame_; }
    int presentCount() const { return presents_; }

    Cursor cursor() const { return cursor_; }
    bool captured() const { return captured_; }
    bool visible() const { return visible_; }
    void* parent() const { return parent_; }

    void present(const std::uint32_t* pixels, int stride) override;
    void pump() override;
    void setCursor(Cursor cursor) override { cursor_ = cursor; }
    void captureMouse(bool captured) override { captured_ = captured; }
    void startTimer(int timerId, int intervalMs) override;
    void stopTimer(int timerId) override { timers_.erase(timerId); }
    void show(bool visible) override { visible_ = visible; }
    void* handle() const override { return const_cast<HeadlessWindow*>(this); }

private:
    struct Timer {
        int intervalMs;
        std::int64_t due;
    };

    void* parent_;
    int width_;
    int height_;
    WindowEvents& events_;
    std::deque<PointerEvent> pending_;
    std::vector<std::uint32_t> frame_;
    int presents_ = 0;
    std::int64_t now_ = 0;
    std::map<int, Timer> timers_;
    Cursor cursor_ = Cursor::Arrow;
    bool captured_ = false;
    bool visible_ = false;
};

} // namespace ui::platform::headless
