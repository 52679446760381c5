#include "ui/platform/x11/TimerSchedule.h"

#include <algorithm>

namespace ui::platform::x11 {

void TimerSchedule::start(int id, int intervalMs, std::int64_t nowMs) {
    const std::int64_t interval = std::max(intervalMs, kMinIntervalMs);
    stop(id);
    timers_.push_back({id, interval, nowMs + interval});
}

void TimerSchedule::stop(int id) {
    std::erase_if(timers_, [id](const Timer& timer) { return timer.id == id; });
}

bool TimerSchedule::isRunning(int id) const {
    return std::any_of(timers_.begin(), timers_.end(), [id](const Timer& timer) { return timer.id == id; });
}

std::vector<int> TimerSchedule::takeDue(std::int64_t nowMs) {
    std::vector<int> due;
    for (Timer& timer : timers_) {
        if (timer.dueMs > nowMs) {
            continue;
        }
        due.push_back(timer.id);
        timer.dueMs += timer.intervalMs;
        if (timer.dueMs <= nowMs) {
            timer.dueMs = nowMs + timer.intervalMs;
        }
    }
    return due;
}

} // namespace ui::platform::x11
