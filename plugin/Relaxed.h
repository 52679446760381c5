// A value that two threads share without a lock: every read and write is one relaxed atomic access, which
// on x86 is the same single load or store as a plain field, but defined behaviour in C++.
#pragma once

#include <atomic>

namespace zephyrion {

template <typename T> class Relaxed {
public:
    constexpr Relaxed(T initial = T{}) noexcept : value(initial) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    operator T() const noexcept { return value.load(std::memory_order_relaxed); }
    Relaxed& operator=(T newValue) noexcept {
        value.store(newValue, std::memory_order_relaxed);
        return *this;
    }

private:
    std::atomic<T> value;
};

} // namespace zephyrion
