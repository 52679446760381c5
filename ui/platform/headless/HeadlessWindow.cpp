#include "ui/platform/headless/HeadlessWindow.h"

#include <algorithm>

namespace ui::platform {

std::unique_ptr<NativeWindow> createChildWindow(void* parent, int width, int height, WindowEvents& events) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    return std::make_unique<headless::HeadlessWindow>(parent, width, height, events);
}

namespace headless {

HeadlessWindow::HeadlessWindow(void* parent, int width, int height, WindowEvents& events)
    : parent_(parent), width_(width), height_(height), events_(events),
      frame_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {}

HeadlessWindow* HeadlessWindow::from(NativeWindow* window) {
    return dynamic_cast<HeadlessWindow*>(window);
}

void HeadlessWindow::post(const PointerEvent& event) {
    pending_.push_back(event);
}

void HeadlessWindow::press(int x, int y, MouseButton button, std::uint32_t shift) {
    post({PointerEvent::Kind::Press, x, y, button, shift, 0});
    pump();
}

void HeadlessWindow::release(int x, int y, MouseButton button, std::uint32_t shift) {
    post({PointerEvent::Kind::Release, x, y, button, shift, 0});
    pump();
}

void HeadlessWindow::moveTo(int x, int y, std::uint32_t shift) {
    post({PointerEvent::Kind::Move, x, y, MouseButton::Left, shift, 0});
    pump();
}

void HeadlessWindow::wheel(int x, int y, int notches, std::uint32_t shift) {
    post({PointerEvent::Kind::Wheel, x, y, MouseButton::Left, shift, notches});
    pump();
}

void HeadlessWindow::leave() {
    post({PointerEvent::Kind::Leave, 0, 0, MouseButton::Left, 0, 0});
    pump();
}

void HeadlessWindow::pump() {
    // Handlers may post more events; those wait for the next pump, as on a real event queue.
    std::deque<PointerEvent> batch;
    batch.swap(pending_);
    for (const PointerEvent& event : batch) {
        events_.onPointer(event);
    }
}

void HeadlessWindow::advance(int milliseconds) {
    const std::int64_t target = now_ + std::max(milliseconds, 0);
    for (;;) {
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due <= target && (next == timers_.end() || it->second.due < next->second.due)) {
                next = it;
            }
        }
        if (next == timers_.end()) {
            break;
        }
        now_ = next->second.due;
        next->second.due += next->second.intervalMs;
        // The tick may stop or restart any timer, this one included; the map is searched afresh afterwards.
        events_.onTimer(next->first);
    }
    now_ = target;
}

void HeadlessWindow::startTimer(int timerId, int intervalMs) {
    const int interval = std::max(intervalMs, 1);
    timers_[timerId] = {interval, now_ + interval};
}

void HeadlessWindow::present(const std::uint32_t* pixels, int stride) {
    for (int y = 0; y < height_; ++y) {
        std::copy(pixels + static_cast<std::ptrdiff_t>(y) * stride,
                  pixels + static_cast<std::ptrdiff_t>(y) * stride + width_,
                  frame_.begin() + static_cast<std::ptrdiff_t>(y) * width_);
    }
    ++presents_;
}

std::uint32_t HeadlessWindow::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return frame_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                  static_cast<std::size_t>(x)];
}

} // namespace headless
} // namespace ui::platform
