// Periodic timers driven by whoever calls takeDue (the host's idle on X11, which has no timer service of
// its own). Times are milliseconds of a monotonic clock the caller supplies.
#pragma once

#include <cstdint>
#include <vector>

namespace ui::platform::x11 {

class TimerSchedule {
public:
    // Windows refuses shorter intervals too; keeping its floor makes both backends tick alike.
    static constexpr int kMinIntervalMs = 10;

    // Starts the timer `id`, or restarts it with a new interval; its first tick is one interval after now.
    void start(int id, int intervalMs, std::int64_t nowMs);
    void stop(int id);
    bool isRunning(int id) const;
    // The ids whose tick is due, each once however late the call comes. The next tick keeps the cadence
    // when it can and otherwise falls one interval after now, so missed ticks are dropped, not bunched.
    std::vector<int> takeDue(std::int64_t nowMs);

private:
    struct Timer {
        int id;
        std::int64_t intervalMs;
        std::int64_t dueMs;
    };
    std::vector<Timer> timers_;
};

} // namespace ui::platform::x11
